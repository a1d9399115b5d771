// UTF-8 text helpers: every length and width in the layout of lists, screens and reports is counted
// in characters (code points), not in bytes; a Cyrillic letter takes two bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace heatx {

// Number of characters (code points) of a UTF-8 text. A byte that does not belong to a valid
// sequence counts as one character of its own.
std::size_t CharLength(std::string_view text);

// Proper case: in every blank-separated word the first letter becomes upper case and every other
// letter lower case. Latin and Cyrillic letters (Ё/ё included) are converted; digits, punctuation and
// any other character stay as they are. "фамилия гр. а-1" gives "Фамилия Гр. А-1".
std::string ProperCase(std::string_view text);

// The student's name as stored for the report head: one leading blank, then the answer of the name
// box in proper case. An empty answer (cancelled box) gives a single blank.
std::string StudentNameFromAnswer(std::string_view answer);

// The text without its leading and trailing blanks (only the blank character counts).
std::string TrimBlanks(std::string_view text);

}  // namespace heatx
