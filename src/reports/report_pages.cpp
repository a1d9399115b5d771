#include "reports/report_pages.h"

#include <array>
#include <string>
#include <string_view>

#include "reports/layout.h"

namespace heatx {

namespace {

constexpr std::string_view kReportFont = "Courier New Cyr";
constexpr float kReportFontSize = 9.0f;

const std::string kMargin(12, ' ');  // left margin of every printed line

void PrintLine(Printer& printer, std::string_view text) {
    printer.Print(kMargin + std::string(text));
}

std::string TwoDigits(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 2) {
        digits.insert(digits.begin(), '0');
    }
    return digits;
}

// Trims the blanks around a text.
std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ReportJobTitle(std::string_view apparatusTitle, std::string_view studentName,
                           const Clock& clock) {
    const LocalDateTime now = clock.Now();
    std::string title(Trimmed(apparatusTitle));
    const std::string_view student = Trimmed(studentName);
    if (!student.empty()) {
        title += " - ";
        title += student;
    }
    title += " - " + std::to_string(now.year) + "-" + TwoDigits(now.month) + "-" + TwoDigits(now.day) + " " +
             TwoDigits(now.hour) + ":" + TwoDigits(now.minute) + ":" + TwoDigits(now.second);
    return title;
}

namespace {

// Font, dated title, student, then the source lines label & blanks & value text.
template <std::size_t LabelCount, std::size_t TextCount>
void PrintSourcePage(const DesignData& data, Printer& printer, const Clock& clock, std::string_view title,
                     const std::array<std::string, LabelCount>& labels,
                     const std::array<std::string, TextCount>& texts, int sourceCount, int labelWidth) {
    printer.SetFontName(kReportFont);
    printer.SetFontSize(kReportFontSize);
    printer.SetJobTitle(ReportJobTitle(title, data.StudentName, clock));
    PrintLine(printer, RussianDate(clock) + std::string(title));
    PrintLine(printer, data.StudentName);
    printer.EmptyLine();
    for (int i = 0; i < sourceCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        PrintLine(printer, labels[slot] + PadBlanks(labels[slot], labelWidth) + texts[slot]);
    }
    printer.EmptyLine();
}

// Evaporator result table.
constexpr std::array<std::string_view, 5> kEvaporatorTableHead = {
    "__________________________________________________________________",
    "| ВЫСОТА | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |",
    "|  ТРУБ  | ТЕПЛООТДАЧИ | ТЕПЛООТДАЧИ |ТЕПЛОПЕРЕДАЧИ| ТЕПЛООБМЕНА |",
    "|   М    | В ТР. ПР-ВЕ | В МТР.ПР-ВЕ |             |     М^2     |",
    "|________|_____________|_____________|_____________|_____________|",
};

// Heater result table.
constexpr std::array<std::string_view, 5> kHeaterTableHead = {
    " ______________________________________________________________________________________",
    " |  КОЭФФИЦИЕНТ  |  КОЭФФИЦИЕНТ  |   КОЭФФИЦИЕНТ    |   ПОВЕРХНОСТЬ   |     ЧИСЛО     |",
    " |  ТЕПЛООТДАЧИ  |  ТЕПЛООТДАЧИ  |  ТЕПЛОПЕРЕДАЧИ   |   ТЕПЛООБМЕНА   |       RE      |",
    " |  В ТР. ПР-ВЕ  | В МТР. ПР-ВЕ  |                  |       М^2       |    В ТРУБАХ   |",
    " |_______________|_______________|__________________|_________________|_______________|",
};

// Cooler result table.
constexpr std::array<std::string_view, 5> kCoolerTableHead = {
    " ___________________________________________________________________________________",
    " | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |    ЧИСЛО   |   ЧИСЛО    |",
    " | ТЕПЛООТДАЧИ | ТЕПЛООТДАЧИ |ТЕПЛОПЕРЕДАЧИ| ТЕПЛООБМЕНА |     RE     |    RE      |",
    " | В ТР. ПР-ВЕ |В МТР. ПР-ВЕ |             |     М^2     |  В ТРУБАХ  |В МТР. ПР-ВЕ|",
    " |_____________|_____________|_____________|_____________|____________|____________|",
};

void PrintTableHead(Printer& printer, const std::array<std::string_view, 5>& head) {
    for (std::string_view line : head) {
        PrintLine(printer, line);
    }
}

// A number centred in its table cell: formatted to a field first, then trimmed and centred.
std::string NumberCell(float value, int field, int cell) {
    return CenterCell(FormatFixed(value, field, 2), cell);
}

}  // namespace

void PrintEvaporatorSourcePage(DesignData& data, Printer& printer, const Clock& clock) {
    PrintSourcePage(data, printer, clock, "                Расчет испарителя", data.EvaporatorLabels,
                    data.EvaporatorTexts, kEvaporatorSourceCount, 65);
}

void PrintEvaporatorResult(DesignData& data, Printer& printer, const Clock& clock) {
    if (data.ReportHeadPending != 0) {
        PrintEvaporatorSourcePage(data, printer, clock);
        data.ReportHeadPending = kFalse;
    }
    if (data.TableHeadPending != 0) {
        PrintTableHead(printer, kEvaporatorTableHead);
        data.TableHeadPending = kFalse;
    }
    std::string row("|");
    row += CenterCell(data.EvaporatorTexts[kTubeHeightSlot], 8);
    row += NumberCell(data.AlphaTube, 10, 13) + NumberCell(data.AlphaShell, 11, 13);
    row += NumberCell(data.OverallK, 12, 13) + NumberCell(data.SurfaceF, 10, 13);
    PrintLine(printer, row);
}

void PrintHeaterSourcePage(DesignData& data, Printer& printer, const Clock& clock) {
    PrintSourcePage(data, printer, clock, "            Расчет подогревателя или дефлегматора",
                    data.HeaterLabels, data.HeaterTexts, kHeaterSourceCount, 65);
}

void PrintHeaterResult(DesignData& data, Printer& printer, const Clock& clock) {
    if (data.ReportHeadPending != 0) {
        PrintHeaterSourcePage(data, printer, clock);
        data.ReportHeadPending = kFalse;
    }
    const bool horizontal = data.HorizontalTubes != 0;

    // Construction: orientation and diameter, passes and length (or height), number of tubes.
    const std::string_view typeText =
        horizontal ? " ТИП ТЕПЛООБМЕННИКА-ГОРИЗОНТАЛЬНЫЙ                   НАРУЖНЫЙ ДИАМЕТР ТРУБ "
                   : " ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ                     НАРУЖНЫЙ ДИАМЕТР ТРУБ ";
    PrintLine(printer, std::string(typeText) + FormatFixed(data.Values[12], 6, 3) + " М");

    printer.Print(kMargin + " ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ " + FormatCount(data.Values[13]) + " ШТ.",
                  false);
    if (horizontal) {
        printer.Print("          ДЛИНА ТРУБ " + FormatFixed(data.Values[14], 17, 2), false);
    } else {
        printer.Print("          ВЫСОТА ТРУБ " + FormatFixed(data.Values[14], 16, 2), false);
    }
    printer.Print(" М");

    constexpr std::string_view kTubesLabel = " ОБЩЕЕ ЧИСЛО ТРУБ ";
    PrintLine(printer,
              std::string(kTubesLabel) + PadBlanks(kTubesLabel, 37) + FormatCount(data.Values[15]) + " ШТ.");

    PrintTableHead(printer, kHeaterTableHead);
    PrintLine(printer, " |" + NumberCell(data.AlphaTube, 8, 15) + NumberCell(data.AlphaShell, 10, 15) +
                           NumberCell(data.OverallK, 8, 18) + NumberCell(data.SurfaceF, 12, 17) +
                           NumberCell(data.ReTube, 10, 15));
    PrintLine(printer, kHeaterTableHead[0]);
    printer.EmptyLine();
}

void PrintCoolerSourcePage(DesignData& data, Printer& printer, const Clock& clock) {
    PrintSourcePage(data, printer, clock, "                    Расчет холодильника", data.CoolerLabels,
                    data.CoolerTexts, kCoolerSourceCount, 70);
}

void PrintCoolerResult(DesignData& data, Printer& printer, const Clock& clock) {
    if (data.ReportHeadPending != 0) {
        PrintCoolerSourcePage(data, printer, clock);
        data.ReportHeadPending = kFalse;
    }

    // Construction: diameter and passes, mixed-flow factor, number of tubes and narrowest section.
    constexpr std::string_view kDiameterLabel = " НАРУЖНЫЙ ДИАМЕТР ТРУБ ";
    printer.Print(kMargin + std::string(kDiameterLabel) + PadBlanks(kDiameterLabel, 24) +
                      FormatFixed(data.Values[13], 6, 3) + " М",
                  false);
    printer.Print(Spaces(9) + "  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  " + FormatCount(data.Values[14]) +
                  " ШТ.");

    PrintLine(printer, " КОЭФФИЦИЕНТ, УЧИТЫВАЮЩИЙ СНИЖЕН. СРЕДНЕЙ ДВИЖУЩЕЙ СИЛЫ ПРИ СМЕШ. ТОКЕ" +
                           FormatFixed(data.Values[15], 7, 3) + " Безразм.");

    printer.Print(kMargin + " ЧИСЛО ТРУБ " + FormatCount(data.Values[16]) + " ШТ." + Spaces(6), false);
    printer.Print(" ПЛОЩАДЬ НАИБОЛЕЕ УЗК.СЕЧЕНИЯ ПОТОКА В МТР.ПР-ВЕ " + FormatFixed(data.Values[17], 8, 5) +
                  " М^2");

    PrintTableHead(printer, kCoolerTableHead);
    PrintLine(printer, " |" + NumberCell(data.AlphaTube, 11, 13) + NumberCell(data.AlphaShell, 10, 13) +
                           NumberCell(data.OverallK, 12, 13) + NumberCell(data.SurfaceF, 11, 13) +
                           NumberCell(data.ReTube, 10, 12) + NumberCell(data.ReShell, 10, 12));
    PrintLine(printer, kCoolerTableHead[0]);
    printer.EmptyLine();
}

}  // namespace heatx
