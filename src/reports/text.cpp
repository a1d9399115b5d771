#include "reports/text.h"

#include <locale.h>
#include <wctype.h>
#include <cstdint>
#include <cwctype>

namespace heatx {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the code point that starts at text[pos] and stores the length of its sequence in `size`.
// Returns kInvalid (size 1) for a byte that does not start a valid, shortest-form sequence.
char32_t DecodeAt(std::string_view text, std::size_t pos, std::size_t& size) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size = 1;
    if (lead < 0x80) {
        return lead;
    }
    std::size_t count = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return kInvalid;
    }
    if (pos + count >= text.size()) {
        return kInvalid;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return kInvalid;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return kInvalid;
    }
    size = count + 1;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Case mapping. The Unicode tables of the C library's "C.UTF-8" locale cover every alphabet a name
// may be typed in; where that locale is missing, Basic Latin, Latin-1 and the Cyrillic block are
// mapped here.
locale_t UnicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t ToUpper(char32_t cp) {
    if (const locale_t locale = UnicodeLocale(); locale != static_cast<locale_t>(nullptr)) {
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), locale));
    }
    if ((cp >= U'a' && cp <= U'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) ||
        (cp >= 0x430 && cp <= 0x44F)) {
        return cp - 0x20;
    }
    if (cp >= 0x450 && cp <= 0x45F) {  // ё and the other letters of the upper Cyrillic row
        return cp - 0x50;
    }
    return cp;
}

char32_t ToLower(char32_t cp) {
    if (const locale_t locale = UnicodeLocale(); locale != static_cast<locale_t>(nullptr)) {
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), locale));
    }
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) ||
        (cp >= 0x410 && cp <= 0x42F)) {
        return cp + 0x20;
    }
    if (cp >= 0x400 && cp <= 0x40F) {  // Ё and its row
        return cp + 0x50;
    }
    return cp;
}

}  // namespace

std::size_t CharLength(std::string_view text) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t size = 1;
        DecodeAt(text, pos, size);
        pos += size;
        ++count;
    }
    return count;
}

std::string ProperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool wordStart = true;  // the next character is the first of a word
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t size = 1;
        const char32_t cp = DecodeAt(text, pos, size);
        if (cp == kInvalid) {
            out += text[pos];
            wordStart = false;
        } else if (cp == U' ') {
            out += ' ';
            wordStart = true;
        } else {
            // The first character of a word is raised, every later letter lowered; characters that
            // are no letters stay as they are.
            AppendUtf8(out, wordStart ? ToUpper(cp) : ToLower(cp));
            wordStart = false;
        }
        pos += size;
    }
    return out;
}

std::string StudentNameFromAnswer(std::string_view answer) {
    std::string name(" ");
    name += ProperCase(answer);
    return name;
}

std::string TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace heatx
