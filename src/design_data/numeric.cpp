#include "design_data/numeric.h"

#include <locale.h>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace heatx {

std::string NormalizeDecimal(std::string_view text) {
    if (text.empty()) {
        return "0";
    }
    std::string result(text);
    const std::size_t comma = result.find(',');
    if (comma != std::string::npos) {
        result[comma] = '.';
    }
    return result;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Integer after "&H" or "&O", accumulated in double so that no length of digits can overflow.
double ReadRadixInteger(std::string_view digits, int radix) {
    double value = 0.0;
    for (char c : digits) {
        const int d = radix == 16 ? HexDigit(c) : (c >= '0' && c <= '7' ? c - '0' : -1);
        if (d < 0) {
            break;
        }
        value = value * radix + d;
    }
    return value;
}

// strtod in the "C" locale, whatever locale the program runs in (a Russian locale would expect a
// decimal comma).
double StrtodC(const char* text) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            s.push_back(c);
        }
    }

    if (s.size() >= 2 && s[0] == '&') {
        const char p = s[1];
        if (p == 'H' || p == 'h') {
            return ReadRadixInteger(std::string_view(s).substr(2), 16);
        }
        if (p == 'O' || p == 'o') {
            return ReadRadixInteger(std::string_view(s).substr(2), 8);
        }
        return 0.0;
    }

    // Collect the longest leading number in a plain form strtod understands.
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') {
            number.push_back('-');
        }
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            number.push_back(s[i]);
            digits = true;
        } else if (s[i] == '.' && !point) {
            number.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent.push_back(s[j]);
            ++j;
        }
        bool expDigits = false;
        for (; j < s.size() && IsDigit(s[j]); ++j) {
            exponent.push_back(s[j]);
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    const double value = StrtodC(number.c_str());
    // A zero reads as plain zero, never as a negative zero.
    return value == 0.0 ? 0.0 : value;
}

float ToSingle(double value) {
    if (std::isnan(value)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    // Halfway between FLT_MAX and the next power of two rounds to infinity (round to even).
    constexpr double kOverflow = 0x1.ffffffp127;
    if (value >= kOverflow) {
        return std::numeric_limits<float>::infinity();
    }
    if (value <= -kOverflow) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

float ReadValue(std::string_view text) {
    return ToSingle(ReadNumber(text));
}

}  // namespace heatx
