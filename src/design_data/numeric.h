// Reading of typed numbers: every value the student gives is typed as text, kept as text and read
// into a single-precision number.
#pragma once

#include <string>
#include <string_view>

namespace heatx {

// Empty text -> "0"; otherwise the first comma becomes a decimal point (only the first one).
std::string NormalizeDecimal(std::string_view text);

// The number a text begins with, in double precision. Blanks, tabs and line feeds are removed first
// wherever they stand. A number is an optional sign, digits with at most one "." and an optional
// exponent introduced by E or D with an optional sign; "&H" and "&O" introduce hexadecimal and octal
// integers. Reading stops at the first character that cannot continue the number; a text that does
// not begin with a number reads as 0. Numbers beyond the double range read as infinite.
double ReadNumber(std::string_view text);

// Nearest single-precision value of a double; values beyond the single range become infinite
// (so that they fail every range check instead of wrapping or being undefined).
float ToSingle(double value);

// ReadNumber followed by the conversion to single precision, as every value of the record is stored.
float ReadValue(std::string_view text);

}  // namespace heatx
