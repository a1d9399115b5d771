#include "reports/layout.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "reports/decimal.h"
#include "reports/text.h"

namespace heatx {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    " января ", " февраля ", " марта ",    " апреля ",  " мая ",    " июня ",
    " июля ",   " августа ", " сентября ", " октября ", " ноября ", " декабря ",
};

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

std::string Spaces(int count) {
    return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') : std::string();
}

std::string PadBlanks(std::string_view text, int width) {
    const auto length = static_cast<long long>(CharLength(text));
    return length < width ? Spaces(static_cast<int>(width - length)) : std::string();
}

std::string FormatFixed(float value, int width, int decimals) {
    std::string number = FixedDecimal(static_cast<double>(value), decimals);
    return PadBlanks(number, width) + number;
}

std::string CenterCell(std::string_view text, int width) {
    const std::string trimmed = TrimBlanks(text);
    const auto length = static_cast<int>(CharLength(trimmed));
    if (length >= width) {
        return trimmed + "|";
    }
    std::string cell = Spaces((width - length) / 2) + trimmed;
    cell += PadBlanks(cell, width);
    return cell + "|";
}

std::string RussianDate(const Clock& clock) {
    const LocalDateTime now = clock.Now();
    int month = now.month;
    if (month > 12) {
        month = 12;
    }
    if (month < 1) {
        month = 1;
    }
    char year[16];
    std::snprintf(year, sizeof year, "%04d", now.year);
    std::string result(" ");
    result += TwoDigits(now.day);
    result += kMonthNames[static_cast<std::size_t>(month - 1)];
    result += year;
    result += "г.";
    result += Spaces(8);
    result += TwoDigits(now.hour) + ":" + TwoDigits(now.minute) + ":" + TwoDigits(now.second);
    return result;
}

void PrintSignatureRule(Printer& printer, int count) {
    printer.Print(Spaces(12) + std::string(count > 0 ? static_cast<std::size_t>(count) : 0, '_'));
    printer.EmptyLine();
    printer.EmptyLine();
    printer.EmptyLine();
}

std::string SourceLine(std::string_view label, std::string_view valueText, int labelWidth) {
    return std::string(label) + PadBlanks(label, labelWidth) + std::string(valueText);
}

std::string ConstructionLine(std::string_view label, std::string_view valueText, int width) {
    return std::string(label) + PadBlanks(label, width) + std::string(valueText);
}

std::string HeaterTypeLine(bool horizontal) {
    constexpr std::string_view kTypeLabel = " ТИП ТЕПЛООБМЕННИКА";
    return std::string(kTypeLabel) + PadBlanks(kTypeLabel, 40) +
           (horizontal ? "ГОРИЗОНТАЛЬНЫЙ" : "ВЕРТИКАЛЬНЫЙ");
}

std::string FormatCount(float value) {
    const double x = static_cast<double>(value);
    if (std::isnan(x)) {
        return "nan";
    }
    if (std::isinf(x)) {
        return x > 0 ? "inf" : "-inf";
    }
    // Nearest whole number, an exact half to the even neighbour; exact in double for every float.
    const double below = std::floor(x);
    const double fraction = x - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1.0;
    }
    if (rounded == 0.0) {
        return "0";  // no "-0" for small negative counts
    }
    return FixedDecimal(rounded, 0);
}

}  // namespace heatx
