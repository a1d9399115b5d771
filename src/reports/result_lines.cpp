#include "reports/result_lines.h"

#include <array>

#include "reports/layout.h"

namespace heatx {

namespace {

constexpr std::array<std::string_view, 5> kResultsHeadLines = {
    "                РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА",
    "",
    "КОЭФФИЦИЕНТ        КОЭФФИЦИЕНТ       КОЭФФИЦИЕНТ     ПОВЕРХНОСТЬ",
    "ТЕПЛООТДАЧИ        ТЕПЛООТДАЧИ      ТЕПЛОПЕРЕДАЧИ    ТЕПЛООБМЕНА",
    "В ТР. ПР-ВЕ        В МТР.ПР-ВЕ                           М^2",
};

constexpr char kLineBreak = '\r';

// The four result columns (tube side, shell side, overall coefficient, surface), two decimals each.
struct ColumnLayout {
    int field;
    int column;
};

std::string FourColumns(const DesignData& data, const std::array<ColumnLayout, 4>& layout) {
    const std::array<float, 4> values = {data.AlphaTube, data.AlphaShell, data.OverallK, data.SurfaceF};
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        line += ResultColumn(values[i], layout[i].field, 2, layout[i].column);
    }
    return line;
}

}  // namespace

std::string ResultColumn(float value, int fieldWidth, int decimals, int columnWidth) {
    const std::string number = FormatFixed(value, fieldWidth, decimals);
    return number + PadBlanks(number, columnWidth);
}

std::string EvaporatorResultsHeading() {
    std::string heading;
    for (std::string_view line : kResultsHeadLines) {
        heading += line;
        heading += kLineBreak;
    }
    return heading;
}

std::string EvaporatorResultsLine(const DesignData& data) {
    return FourColumns(data, {{{10, 18}, {11, 19}, {9, 17}, {7, 17}}});
}

std::string EvaporatorResultsLineAfterHeightChange(const DesignData& data) {
    return FourColumns(data, {{{10, 20}, {9, 18}, {9, 17}, {7, 17}}});
}

std::string EvaporatorResultsCaption(const DesignData& data, bool afterHeightChange) {
    return EvaporatorResultsHeading() +
           (afterHeightChange ? EvaporatorResultsLineAfterHeightChange(data) : EvaporatorResultsLine(data));
}

std::string TubeHeightCaption(std::string_view heightText) {
    return "  ВЫСОТА ТРУБ " + std::string(heightText) + " М";
}

std::string ResultsTableHead() {
    std::string head;
    for (std::size_t i = 0; i < kResultsHeadLines.size(); ++i) {
        if (i > 0) {
            head += kLineBreak;
        }
        head += kResultsHeadLines[i];
    }
    return head;
}

std::string HeaterResultsLine(const DesignData& data) {
    return FourColumns(data, {{{9, 20}, {9, 17}, {9, 15}, {9, 15}}});
}

std::string HeaterLaminarLine(const DesignData& data) {
    return "ЧИСЛО RE В ТРУБАХ" + FormatFixed(data.ReTube, 9, 2) + " < 2300 !";
}

std::string HeaterReynoldsCaption(const DesignData& data) {
    return std::string("ЧИСЛО RE В ТР.") + kLineBreak + FormatFixed(data.ReTube, 11, 2);
}

std::string CoolerResultsLine(const DesignData& data) {
    return FourColumns(data, {{{9, 20}, {9, 16}, {9, 16}, {9, 15}}});
}

std::string CoolerReynoldsLine(const DesignData& data) {
    return ResultColumn(data.ReTube, 9, 1, 20) + ResultColumn(data.ReShell, 12, 1, 20);
}

}  // namespace heatx
