// Fixed-pitch text layout shared by the lists, the results screens and the printed reports: blanks,
// padded columns, numbers with a fixed number of decimals, centred table cells, the dated report head
// and the signature rule. All widths are counted in characters.
#pragma once

#include <string>
#include <string_view>

#include "reports/clock.h"
#include "reports/printer.h"

namespace heatx {

// Text of `count` blanks; a count of 0 or less gives the empty text.
std::string Spaces(int count);

// The blanks that bring `text` to `width` characters (not the text itself); a text as long as the
// width or longer gives the empty text.
std::string PadBlanks(std::string_view text, int width);

// The value with exactly `decimals` digits after the decimal point (always "."), rounded to that many
// places, at least one digit before the point and a minus sign when negative; right-aligned with
// blanks in `width` characters. A longer number is returned whole, never cut.
std::string FormatFixed(float value, int width, int decimals);

// The text without its surrounding blanks, centred in a cell of `width` characters (the odd blank of an
// uneven difference goes to the right) and closed by "|": width + 1 characters. A text longer than the
// cell is returned whole, followed by "|".
std::string CenterCell(std::string_view text, int width);

// Date and time of the report head, for example " 07 декабря 2026г.        11:05:30".
std::string RussianDate(const Clock& clock);

// The signature line at the end of a report: twelve blanks of margin and `count` underscores, then
// three empty lines.
void PrintSignatureRule(Printer& printer, int count);

// A source-data list line: the label, blanks up to `labelWidth` characters, the value text.
std::string SourceLine(std::string_view label, std::string_view valueText, int labelWidth);

// A construction list line: the label, blanks up to `width` characters, the value text (the heater
// window uses 50, the cooler window 80).
std::string ConstructionLine(std::string_view label, std::string_view valueText, int width);

// The heater's type line of the construction list: " ТИП ТЕПЛООБМЕННИКА" padded to 40 characters,
// then the orientation of the tubes.
std::string HeaterTypeLine(bool horizontal);

// A count (passes, tubes) as printed: the value rounded to the nearest whole number, halves to the
// even neighbour, written without blanks ("2" for 2.5, "4" for 3.5). Infinite and undefined values
// are written as "inf", "-inf" and "nan".
std::string FormatCount(float value);

}  // namespace heatx
