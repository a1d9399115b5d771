#include "table_number.h"

namespace heatx::cli {

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the blank at text[i] (an ASCII blank or one of the no-break and thin spaces), 0 if none.
std::size_t BlankLength(std::string_view text, std::size_t i) {
    switch (text[i]) {
        case ' ':
        case '\t':
            return 1;
        case '\xC2':  // U+00A0
            return i + 1 < text.size() && text[i + 1] == '\xA0' ? 2 : 0;
        case '\xE2':  // U+202F, U+2009
            return i + 2 < text.size() && text[i + 1] == '\x80' &&
                           (text[i + 2] == '\xAF' || text[i + 2] == '\x89')
                       ? 3
                       : 0;
        default:
            return 0;
    }
}

}  // namespace

bool ReadTableNumber(std::string_view cell, TableNumber& number) {
    std::string& out = number.text;
    out.clear();
    number.decimal = 0;
    // The usual cell, "4190", "0,683" or "2.0955e+06", is read as it is written.
    std::size_t k = 0;
    std::size_t digitCount = 0;
    while (k < cell.size() && Digit(cell[k])) {
        ++k;
        ++digitCount;
    }
    if (k < cell.size() && (cell[k] == '.' || cell[k] == ',')) {
        number.decimal = cell[k++];
        while (k < cell.size() && Digit(cell[k])) {
            ++k;
            ++digitCount;
        }
    }
    if (digitCount > 0 && k + 1 < cell.size() && (cell[k] == 'e' || cell[k] == 'E')) {
        std::size_t e = k + 1;
        if (cell[e] == '-' || cell[e] == '+') {
            ++e;
        }
        const std::size_t first = e;
        while (e < cell.size() && Digit(cell[e])) {
            ++e;
        }
        k = e > first ? e : k;
    }
    number.asWritten = digitCount > 0 && k == cell.size();
    if (number.asWritten) {
        return true;
    }
    number.decimal = 0;
    std::size_t i = 0;
    std::size_t end = cell.size();
    while (i < end && BlankLength(cell, i) != 0) {
        i += BlankLength(cell, i);
    }
    // Trailing blanks: the last blank ends the cell; the no-break spaces end in 0x80..0xBF bytes.
    for (;;) {
        if (end > i && (cell[end - 1] == ' ' || cell[end - 1] == '\t')) {
            --end;
        } else if (end >= i + 2 && BlankLength(cell, end - 2) == 2) {
            end -= 2;
        } else if (end >= i + 3 && BlankLength(cell, end - 3) == 3) {
            end -= 3;
        } else {
            break;
        }
    }
    if (i < end && (cell[i] == '-' || cell[i] == '+')) {
        if (cell[i] == '-') {
            out.push_back('-');
        }
        ++i;
    }
    // The integer part: a first group of digits, then groups of exactly three after single blanks.
    std::size_t digits = 0;
    std::size_t group = 0;
    bool grouped = false;
    while (i < end) {
        if (Digit(cell[i])) {
            out.push_back(cell[i++]);
            ++digits;
            ++group;
            continue;
        }
        const std::size_t blank = BlankLength(cell, i);
        if (blank == 0 || group == 0 || (grouped && group != 3) || (!grouped && group > 3)) {
            break;
        }
        if (i + blank >= end || !Digit(cell[i + blank])) {
            return false;
        }
        grouped = true;
        group = 0;
        i += blank;
    }
    if (grouped && group != 3) {
        return false;
    }
    if (i < end && (cell[i] == '.' || cell[i] == ',')) {
        number.decimal = cell[i++];
        out.push_back('.');
        while (i < end && Digit(cell[i])) {
            out.push_back(cell[i++]);
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < end && (cell[i] == 'e' || cell[i] == 'E')) {
        out.push_back('E');
        ++i;
        if (i < end && (cell[i] == '-' || cell[i] == '+')) {
            out.push_back(cell[i++]);
        }
        std::size_t exponent = 0;
        while (i < end && Digit(cell[i])) {
            out.push_back(cell[i++]);
            ++exponent;
        }
        if (exponent == 0) {
            return false;
        }
    }
    return i == end;
}

}  // namespace heatx::cli
