// Strict reading of a number in a cell of a variants table, as a spreadsheet in any locale exports it:
// blanks of any kind between groups of three digits are digit grouping (space, no-break space U+00A0,
// narrow no-break space U+202F, thin space U+2009), one decimal comma or point, a Latin exponent. A
// cell that is not wholly one number is refused: nothing is ever computed from part of a cell.
#pragma once

#include <string>
#include <string_view>

namespace heatx::cli {

struct TableNumber {
    bool asWritten = false;  // the cell itself reads as the number (digits and at most one separator)
    std::string text;        // else the number as the program reads a typed value: "-402980.5E+3"
    char decimal = 0;        // the separator the cell used ('.' or ','), 0 when it had none
};

// True when `cell` (UTF-8) is wholly one number, blanks around it aside.
bool ReadTableNumber(std::string_view cell, TableNumber& number);

}  // namespace heatx::cli
