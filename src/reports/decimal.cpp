#include "reports/decimal.h"

#include <locale.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <version>

namespace heatx {

namespace {

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The calling thread converts in the "C" locale while this lives (a Russian locale would write and
// expect a decimal comma); other threads keep theirs.
class InCLocale {
  public:
    InCLocale() {
        if (const locale_t c = CLocale(); c != static_cast<locale_t>(nullptr)) {
            previous_ = uselocale(c);
        }
    }
    ~InCLocale() {
        if (previous_ != static_cast<locale_t>(nullptr)) {
            uselocale(previous_);
        }
    }
    InCLocale(const InCLocale&) = delete;
    InCLocale& operator=(const InCLocale&) = delete;

  private:
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number: an optional minus, digits with at most one point or comma among or before
// them, then optionally an exponent. Returns the text with a point, or nothing.
std::optional<std::string> PlainDecimal(std::string_view text) {
    std::string plain(text);
    std::size_t at = 0;
    if (at < plain.size() && plain[at] == '-') {
        ++at;
    }
    bool digits = false;
    bool point = false;
    for (; at < plain.size(); ++at) {
        if (IsDigit(plain[at])) {
            digits = true;
        } else if ((plain[at] == '.' || plain[at] == ',') && !point) {
            point = true;
            plain[at] = '.';
        } else {
            break;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (at < plain.size() && (plain[at] == 'e' || plain[at] == 'E')) {
        ++at;
        if (at < plain.size() && (plain[at] == '+' || plain[at] == '-')) {
            ++at;
        }
        const std::size_t exponent = at;
        while (at < plain.size() && IsDigit(plain[at])) {
            ++at;
        }
        if (at == exponent) {
            return std::nullopt;
        }
    }
    if (at != plain.size()) {
        return std::nullopt;
    }
    return plain;
}

}  // namespace

namespace detail {

std::string FixedDecimalC(double value, int decimals) {
    const InCLocale c;
    const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::optional<float> ReadPlainDecimalC(const std::string& text) {
    const InCLocale c;
    errno = 0;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        return std::nullopt;
    }
    // Out of range as std::from_chars has it: too large, or too small to be told from zero. A value
    // among the smallest floats, which the C library also marks, is kept.
    if (errno == ERANGE && (std::isinf(value) || value == 0.0f)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace detail

std::string FixedDecimal(double value, int decimals) {
    if (decimals < 0) {
        decimals = 0;
    }
#if defined(__cpp_lib_to_chars)
    // The largest double has 309 integer digits; room for the sign, the point and the decimals.
    std::string buffer(static_cast<std::size_t>(320 + decimals), '\0');
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    buffer.resize(static_cast<std::size_t>(result.ptr - buffer.data()));
    return buffer;
#else
    return detail::FixedDecimalC(value, decimals);
#endif
}

std::string ShortDecimal(double value, int decimals) {
    std::string text = FixedDecimal(value, decimals);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

std::optional<float> ReadDecimal(std::string_view text) {
    const std::optional<std::string> plain = PlainDecimal(text);
    if (!plain) {
        return std::nullopt;
    }
#if defined(__cpp_lib_to_chars)
    float value = 0.0f;
    const auto result = std::from_chars(plain->data(), plain->data() + plain->size(), value);
    if (result.ec != std::errc() || result.ptr != plain->data() + plain->size()) {
        return std::nullopt;
    }
    return value;
#else
    return detail::ReadPlainDecimalC(*plain);
#endif
}

}  // namespace heatx
