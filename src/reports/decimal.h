// Decimal text of numbers with a point whatever the locale, the same digits in every edition: the
// desktop's standard library converts with std::to_chars/std::from_chars; where the standard library
// lacks those for floating point (the browser edition's), the C library's correctly rounded conversions
// are used under the "C" locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace heatx {

// "%.*f" of the value: its exact binary value rounded to `decimals` places (an exact half to even),
// with a point. Negative decimals count as none.
std::string FixedDecimal(double value, int decimals);

// FixedDecimal without the trailing zeros of the fraction, and without the point when nothing follows
// it: 9 -> "9", 7.5 -> "7.5", 8.25 -> "8.25".
std::string ShortDecimal(double value, int decimals);

// The float nearest to a whole plain decimal number ("12", "-7.5", ".5", "1e3", "2,25": a point or a
// comma); nothing for any other text (blanks, a sign "+", hexadecimal, inf, nan) and for a number
// outside the range of float (too large, or so small that it would read as zero).
std::optional<float> ReadDecimal(std::string_view text);

namespace detail {
// The C library's conversions under the "C" locale, which the editions without floating-point
// std::to_chars and std::from_chars use; built in every edition so that the desktop's tests compare
// them with the standard library's.
std::string FixedDecimalC(double value, int decimals);
std::optional<float> ReadPlainDecimalC(const std::string& text);
}  // namespace detail

}  // namespace heatx
