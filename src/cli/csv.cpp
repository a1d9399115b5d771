#include "csv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace heatx::cli {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// Code points of the bytes 0x80..0xBF of Windows-1251 (0 where the byte has no character); 0xC0..0xFF
// are А..я, U+0410..U+044F.
constexpr std::array<std::uint16_t, 64> kHigh1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence at text[i], 0 when it is not valid; `truncated` is set when the
// text ends inside a sequence that could still be valid.
std::size_t SequenceLength(std::string_view text, std::size_t i, bool& truncated) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        return 1;
    }
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if (i + k >= text.size()) {
            truncated = true;
            return 0;
        }
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return 0;
    }
    return n;
}

// Valid UTF-8, except perhaps a sequence cut off by the end of the text.
bool ValidUtf8Prefix(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        bool truncated = false;
        const std::size_t n = SequenceLength(text, i, truncated);
        if (n == 0) {
            return truncated;
        }
        i += n;
    }
    return true;
}

}  // namespace

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        bool truncated = false;
        const std::size_t n = SequenceLength(text, i, truncated);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

bool Windows1251ToUtf8(std::string_view text, std::string& out) {
    out.clear();
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c >= 0xC0) {
            AppendUtf8(out, 0x0410u + (c - 0xC0u));
        } else {
            const std::uint16_t cp = kHigh1251[c - 0x80u];
            if (cp == 0) {
                return false;
            }
            AppendUtf8(out, cp);
        }
    }
    return true;
}

std::string Utf8ToWindows1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool truncated = false;
        const std::size_t n = SequenceLength(text, i, truncated);
        if (n == 0) {
            out.push_back('?');
            ++i;
            continue;
        }
        std::uint32_t cp = static_cast<unsigned char>(text[i]);
        if (n > 1) {
            cp &= (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
            for (std::size_t k = 1; k < n; ++k) {
                cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            }
        }
        i += n;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp >= 0x0410 && cp <= 0x044F) {
            out.push_back(static_cast<char>(0xC0 + (cp - 0x0410)));
        } else {
            char byte = '?';
            for (std::size_t k = 0; k < kHigh1251.size(); ++k) {
                if (kHigh1251[k] == cp) {
                    byte = static_cast<char>(0x80 + k);
                    break;
                }
            }
            out.push_back(byte);
        }
    }
    return out;
}

void AppendCsvField(std::string& out, std::string_view field, char delimiter) {
    bool quote = false;
    for (char c : field) {
        if (c == delimiter || c == '"' || c == '\n' || c == '\r') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        out += field;
        return;
    }
    out.push_back('"');
    for (char c : field) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

namespace {

// A UTF-8 lead byte above ASCII: sets the number of continuation bytes due and the range of the first
// of them (no overlong forms, no surrogates, nothing above U+10FFFF). False for a byte that starts no
// sequence.
bool StartUtf8Sequence(unsigned char c, int& pending, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        pending = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        pending = 2;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        pending = 3;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return false;
    }
    return true;
}

}  // namespace

void Utf8Check::Feed(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (pending_ == 0 && end - p >= 8) {
            // Eight ASCII bytes without a NUL at once (the usual case).
            std::uint64_t word = 0;
            std::memcpy(&word, p, 8);
            const std::uint64_t high = word & 0x8080808080808080u;
            const std::uint64_t zero = (word - 0x0101010101010101u) & ~word & 0x8080808080808080u;
            if ((high | zero) == 0) {
                p += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p++);
        if (pending_ != 0) {
            if (c < low_ || c > high_) {
                valid_ = false;
                pending_ = 0;
            } else {
                --pending_;
                low_ = 0x80;
                high_ = 0xBF;
                continue;
            }
        }
        if (c < 0x80) {
            nul_ = nul_ || c == 0;
            continue;
        }
        if (!StartUtf8Sequence(c, pending_, low_, high_)) {
            valid_ = false;
        }
    }
}

void EncodingJudge::EndLine() {
    if (nonAscii_ && badLine_ == 0) {
        // A sequence cut off by the line end is no UTF-8 either.
        const bool utf8 = !invalid_ && pending_ == 0;
        if (!utf8 && undefined_) {
            badLine_ = line_;
            why_ = "текст не читается ни в UTF-8, ни в Windows-1251";
        } else if (!decided_) {
            decided_ = true;
            decidingLine_ = line_;
            encoding_ = utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1251;
        } else if (utf8 != (encoding_ == TextEncoding::Utf8)) {
            badLine_ = line_;
            if (bom_) {
                why_ = "текст не в кодировке UTF-8, хотя файл начинается с её метки";
            } else {
                why_ = std::string("текст в кодировке ") + (utf8 ? "UTF-8" : "Windows-1251") + ", а строка " +
                       std::to_string(decidingLine_) + " — в " + (utf8 ? "Windows-1251" : "UTF-8") +
                       ": сохраните таблицу в одной кодировке";
            }
        }
    }
    ++line_;
    nonAscii_ = invalid_ = undefined_ = false;
    pending_ = 0;
}

void EncodingJudge::Feed(std::string_view bytes) {
    if (!headDone_) {
        // The byte-order mark, however the first bytes are cut into pieces.
        static constexpr std::string_view kBom = "\xEF\xBB\xBF";
        std::size_t i = 0;
        while (i < bytes.size() && head_.size() < 3 && bytes[i] == kBom[head_.size()]) {
            head_.push_back(bytes[i++]);
        }
        if (head_.size() == 3) {
            headDone_ = true;
            bom_ = decided_ = true;
            decidingLine_ = 1;
            encoding_ = TextEncoding::Utf8;
            Judge(bytes.substr(i));
        } else if (i < bytes.size()) {
            headDone_ = true;  // no mark: the bytes held back are text like the others
            Judge(head_);
            Judge(bytes.substr(i));
        }
        return;
    }
    Judge(bytes);
}

void EncodingJudge::Judge(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c == '\n') {
                if (!lastCr_) {
                    EndLine();
                }
            } else if (c == '\r') {
                EndLine();
            }
            if (pending_ != 0) {
                invalid_ = true;
                pending_ = 0;
            }
            lastCr_ = c == '\r';
            continue;
        }
        lastCr_ = false;
        nonAscii_ = true;
        undefined_ = undefined_ || c == 0x98;
        if (invalid_) {
            continue;
        }
        if (pending_ != 0) {
            if (c < low_ || c > high_) {
                invalid_ = true;
            } else {
                --pending_;
                low_ = 0x80;
                high_ = 0xBF;
            }
            continue;
        }
        if (!StartUtf8Sequence(c, pending_, low_, high_)) {
            invalid_ = true;
        }
    }
}

bool EncodingJudge::Finish() {
    if (!headDone_) {
        headDone_ = true;
        Judge(head_);
    }
    if (nonAscii_) {
        EndLine();
    }
    return badLine_ == 0;
}

CsvReader::CsvReader(Source source) : source_(std::move(source)), buffer_(kBufferSize) {}

bool CsvReader::Fill() {
    if (eof_) {
        return false;
    }
    pos_ = 0;
    end_ = source_(buffer_.data(), buffer_.size());
    if (end_ == 0) {
        eof_ = true;
        return false;
    }
    if (!started_) {
        started_ = true;
        // The encoding is judged on a full first buffer (or the whole of a shorter input), however
        // the input arrives in pieces.
        while (end_ < buffer_.size()) {
            const std::size_t n = source_(buffer_.data() + end_, buffer_.size() - end_);
            if (n == 0) {
                eof_ = true;
                break;
            }
            end_ += n;
        }
        // The byte-order mark declares UTF-8; without it, and without an encoding judged for the whole
        // input, a first buffer that is not valid UTF-8 is taken for Windows-1251.
        if (end_ >= 3 && buffer_[0] == '\xEF' && buffer_[1] == '\xBB' && buffer_[2] == '\xBF') {
            bom_ = true;
            pos_ = 3;
        } else if (!encodingKnown_ && !ValidUtf8Prefix(std::string_view(buffer_.data(), end_))) {
            encoding_ = TextEncoding::Windows1251;
        }
    }
    return true;
}

bool CsvReader::ReadRaw(std::string& raw, std::size_t& line, bool& tooLong, bool& unclosed) {
    raw.clear();
    line = line_;
    tooLong = false;
    unclosed = false;
    bool inQuotes = false;
    bool any = false;
    // A quote opens a quoted field only at the start of a field (or, just after the closing quote, as
    // the second of a doubled quote); elsewhere it is a character of the field: `труба 1"`.
    bool fieldStart = true;
    bool justClosed = false;
    for (;;) {
        // (A first buffer may hold nothing but the byte-order mark.)
        while (pos_ == end_) {
            if (!Fill()) {
                unclosed = inQuotes;
                return any;
            }
        }
        if (skipLf_) {
            skipLf_ = false;
            if (buffer_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        // A run of ordinary characters (no quote, line end or delimiter) is taken whole.
        const std::size_t run = pos_;
        while (pos_ < end_ && !Special(buffer_[pos_])) {
            ++pos_;
        }
        if (pos_ > run) {
            any = true;
            fieldStart = justClosed = false;
            const std::size_t room = kRecordLimit - raw.size();
            raw.append(buffer_.data() + run, std::min(room, pos_ - run));
            tooLong = tooLong || pos_ - run > room;
            continue;
        }
        const char c = buffer_[pos_++];
        any = true;
        const bool closing = c == '"' && inQuotes;
        if (c == '"' && (inQuotes || fieldStart || justClosed)) {
            inQuotes = !inQuotes;
        } else if (c == '\n' || c == '\r') {
            if (!inQuotes) {
                ++line_;
                skipLf_ = c == '\r';
                if (first_) {
                    crlf_ = skipLf_;
                }
                return true;
            }
            if (c == '\n') {
                ++line_;
            }
        }
        justClosed = closing;
        fieldStart = !inQuotes && IsDelimiter(c);
        if (raw.size() < kRecordLimit) {
            raw.push_back(c);
        } else {
            tooLong = true;
        }
    }
}

bool CsvReader::Special(char c) {
    static constexpr std::array<bool, 256> kSpecial = [] {
        std::array<bool, 256> table{};
        for (unsigned char special : {'"', '\n', '\r', ';', ',', '\t'}) {
            table[special] = true;
        }
        return table;
    }();
    return kSpecial[static_cast<unsigned char>(c)];
}

bool CsvReader::IsDelimiter(char c) const {
    // Before the delimiter is known, any of the three may end a field.
    return first_ ? (c == ';' || c == '\t' || c == ',') : c == delimiter_;
}

void CsvReader::Split(std::string_view raw, std::vector<std::string>& fields) const {
    std::size_t n = 0;
    std::size_t i = 0;
    for (;;) {
        if (n == fields.size()) {
            fields.emplace_back();
        }
        std::string& field = fields[n++];
        field.clear();
        if (i < raw.size() && raw[i] == '"') {
            ++i;
            while (i < raw.size()) {
                if (raw[i] == '"') {
                    if (i + 1 < raw.size() && raw[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(raw[i++]);
            }
        }
        // Unquoted text, or what follows a closing quote before the next delimiter (taken whole).
        const std::size_t next = std::min(raw.find(delimiter_, i), raw.size());
        field.append(raw, i, next - i);
        i = next;
        if (i < raw.size()) {
            ++i;  // the delimiter: another field follows, even an empty one at the end
            continue;
        }
        break;
    }
    fields.resize(n);
}

bool CsvReader::Decode(std::string& error) {
    if (verified_ && encoding_ == TextEncoding::Utf8) {
        return true;  // the whole input is known to be valid UTF-8 without a NUL
    }
    if (!verified_ && raw_.find('\0') != std::string::npos) {
        error = "в тексте нулевой байт";
        return false;
    }
    if (encoding_ == TextEncoding::Utf8) {
        if (ValidUtf8(raw_)) {
            return true;
        }
        if (bom_) {
            error = "текст не в кодировке UTF-8, хотя файл начинается с её метки";
            return false;
        }
        if (encodingKnown_) {
            error = "текст не в кодировке UTF-8, как остальные строки";
            return false;
        }
        encoding_ = TextEncoding::Windows1251;
    }
    if (!Windows1251ToUtf8(raw_, scratch_)) {
        error = "текст не читается ни в UTF-8, ни в Windows-1251";
        return false;
    }
    raw_.swap(scratch_);
    return true;
}

bool CsvReader::Next(CsvRecord& record) {
    bool tooLong = false;
    bool unclosed = false;
    if (!ReadRaw(raw_, record.line, tooLong, unclosed)) {
        return false;
    }
    record.error.clear();
    if (first_) {
        // The delimiter of the first row that holds one outside quotes: ";" first (a sheet with decimal
        // commas may hold commas in its headings), then tab, then ",". Until then (a title row without
        // any) the records are split at ";".
        bool inQuotes = false;
        bool fieldStart = true;
        bool justClosed = false;
        bool semicolon = false;
        bool tab = false;
        bool comma = false;
        for (char c : raw_) {
            const bool closing = c == '"' && inQuotes;
            if (c == '"' && (inQuotes || fieldStart || justClosed)) {
                inQuotes = !inQuotes;
            } else if (!inQuotes) {
                semicolon = semicolon || c == ';';
                tab = tab || c == '\t';
                comma = comma || c == ',';
            }
            justClosed = closing;
            fieldStart = !inQuotes && (c == ';' || c == '\t' || c == ',');
        }
        if (semicolon || tab || comma) {
            first_ = false;
            delimiter_ = semicolon ? ';' : tab ? '\t' : ',';
        }
    }
    if (tooLong) {
        record.error = "строка длиннее " + std::to_string(kRecordLimit) + " байт";
    } else if (unclosed) {
        record.error = "кавычки не закрыты до конца файла";
    }
    if (!record.error.empty() || !Decode(record.error)) {
        record.fields.clear();
        // What can be read of the name and the kind still names the row in the output.
        if (!tooLong && ValidUtf8(raw_) && raw_.find('\0') == std::string::npos) {
            Split(raw_, record.fields);
            if (record.fields.size() > 2) {
                record.fields.resize(2);
            }
        }
        return true;
    }
    Split(raw_, record.fields);
    return true;
}

}  // namespace heatx::cli
