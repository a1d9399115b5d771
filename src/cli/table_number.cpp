#include "table_number.h"

namespace heatx::cli {

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the blank at text[i] (an ASCII blank or one of the no-break and thin spaces), 0 if none.
std::size_t BlankLength(std::string_view text, std::size_t i) {
    if (text[i] == ' ' || text[i] == '\t') {
        return 1;
    }
    const std::string_view rest = text.substr(i);
    for (std::string_view blank : {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"}) {
        if (rest.substr(0, blank.size()) == blank) {
            return blank.size();
        }
    }
    return 0;
}

}  // namespace

bool ReadTableNumber(std::string_view cell, TableNumber& number) {
    std::string& out = number.text;
    out.clear();
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
