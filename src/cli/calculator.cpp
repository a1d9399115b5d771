#include "calculator.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "design_data/validation.h"
#include "methods/calc.h"
#include "methods/messages.h"
#include "reports/layout.h"
#include "reports/printer.h"
#include "reports/report_pages.h"
#include "reports/result_lines.h"
#include "reports/text.h"

namespace heatx::cli {

namespace {

constexpr std::string_view kHelp =
    "heatx-calc — тепловой расчёт кожухотрубного теплообменника по исходным данным.\n"
    "\n"
    "Использование:\n"
    "  heatx-calc evaporator [--report] [--student ИМЯ] T0 … T14 ВЫСОТА\n"
    "  heatx-calc heater (--horizontal|--vertical) [--report] [--student ИМЯ] T0 … T10 ДИАМЕТР ХОДЫ ДЛИНА "
    "ТРУБЫ\n"
    "  heatx-calc cooler [--report] [--student ИМЯ] T0 … T12 ДИАМЕТР ХОДЫ КОЭФФИЦИЕНТ ТРУБЫ ПЛОЩАДЬ\n"
    "  heatx-calc --help\n"
    "\n"
    "T0 … — исходные данные в порядке списка исходной информации программы; каждое значение\n"
    "читается так же, как введённое в программе: допускается десятичная запятая, пустой или\n"
    "нечисловой текст читается как 0. Всякий аргумент, кроме показанных ключей, — значение,\n"
    "даже пустой или начинающийся с «-»; число значений должно быть точным.\n"
    "Для подогревателя при --vertical ДЛИНА — высота труб.\n"
    "\n"
    "Вывод: строки «ИМЯ ЗНАЧЕНИЕ» — AlphaTube AlphaShell OverallK SurfaceF, затем ReTube\n"
    "(подогреватель, холодильник) и ReShell (холодильник).\n"
    "--report: вместо этого строки печатного отчёта одного нажатия «ПЕЧАТЬ» в новой задаче\n"
    "(с сегодняшней датой и именем студента из --student).\n"
    "\n"
    "Код выхода: 0 — расчёт выполнен; 2 — значение вне допустимого диапазона; 3 — расчёт\n"
    "невозможен (ошибка итераций испарителя, число Re в трубах подогревателя не больше 2300);\n"
    "64 — неверное использование.\n";

enum class Kind { Evaporator, Heater, Cooler };

struct Arguments {
    Kind kind = Kind::Evaporator;
    bool report = false;
    std::optional<std::string> student;
    std::optional<bool> horizontal;
    std::vector<std::string> values;
};

// Shortest decimal text of a bound as it is held (single or double precision).
template <typename T>
std::string BoundText(T value) {
    std::array<char, 64> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string Label(std::string_view label) {
    return TrimBlanks(label);
}

int RangeError(std::ostream& err, int index, std::string_view label, const std::string& text,
               const std::string& range) {
    err << "heatx-calc: значение вне допустимого диапазона: параметр " << index << " «" << Label(label)
        << "», введено \"" << text << "\", допустимо " << range << "\n";
    return kExitRange;
}

std::string InclusiveRange(const std::string& lower, const std::string& upper) {
    return "от " + lower + " до " + upper + " включительно";
}

std::string SourceRange(const SourceBounds& b) {
    if (b.strictLower) {
        return "больше " + BoundText(b.lower) + " и не больше " + BoundText(b.upper);
    }
    return InclusiveRange(BoundText(b.lower), BoundText(b.upper));
}

int Usage(std::ostream& err, std::string_view why) {
    err << "heatx-calc: " << why << "\n"
        << "Использование: heatx-calc evaporator|heater|cooler … (подробно: heatx-calc --help)\n";
    return kExitUsage;
}

void PrintResult(std::ostream& out, std::string_view name, float value) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.9g", static_cast<double>(value));
    out << name << " " << buffer.data() << "\n";
}

// Stores the value texts as typed and normalised, and their numeric values.
template <std::size_t N>
void StoreTexts(DesignData& data, std::array<std::string, N>& texts, const std::vector<std::string>& values,
                int first, int count) {
    for (int i = 0; i < count; ++i) {
        const int slot = first + i;
        texts[slot] = NormalizeDecimal(values[static_cast<std::size_t>(i)]);
        data.Values[slot] = ReadValue(texts[slot]);
    }
}

void WriteReport(std::ostream& out, const RecordingPrinter& printer) {
    for (const std::string& line : printer.Lines()) {
        out << line << "\n";
    }
}

void StartTask(DesignData& data, const Arguments& a) {
    data.StudentName = StudentNameFromAnswer(a.student.value_or(""));
    data.ReportPrinted = kFalse;
    data.ReportHeadPending = kTrue;
    data.TableHeadPending = kTrue;
}

template <std::size_t N>
int CheckSource(DesignData& data, const std::array<SourceBounds, N>& bounds,
                const std::array<std::string, N>& labels, const std::string* texts,
                std::uint8_t (*validate)(DesignData&), std::ostream& err) {
    data.BadIndex = validate(data);
    if (data.DataError != 0) {
        const int i = data.BadIndex;
        return RangeError(err, i, labels[static_cast<std::size_t>(i)], texts[i],
                          SourceRange(bounds[static_cast<std::size_t>(i)]));
    }
    return kExitOk;
}

int Evaporator(const Arguments& a, std::ostream& out, std::ostream& err, const Clock& clock) {
    DesignData data;
    StartTask(data, a);
    WriteEvaporatorLabels(data);
    StoreTexts(data, data.EvaporatorTexts, a.values, 0, kEvaporatorSourceCount + 1);

    std::array<std::string, kEvaporatorSourceCount> labels;
    for (int i = 0; i < kEvaporatorSourceCount; ++i) {
        labels[static_cast<std::size_t>(i)] = data.EvaporatorLabels[static_cast<std::size_t>(i)];
    }
    if (int rc = CheckSource(data, kEvaporatorBounds, labels, data.EvaporatorTexts.data(),
                             ValidateEvaporatorData, err);
        rc != kExitOk) {
        return rc;
    }
    if (!TubeHeightAccepted(data.Values[kTubeHeightSlot])) {
        return RangeError(err, kTubeHeightSlot, kHeaterLabelTexts[16], data.EvaporatorTexts[kTubeHeightSlot],
                          InclusiveRange("1", "10"));
    }

    CalcEvaporator(data);
    if (data.DataError != 0) {
        err << kEvaporatorFailureMessage << "\n";
        return kExitMethod;
    }
    if (a.report) {
        RecordingPrinter printer;
        data.ReportPrinted = kTrue;
        PrintEvaporatorResult(data, printer, clock);
        PrintSignatureRule(printer, 66);
        WriteReport(out, printer);
        return kExitOk;
    }
    PrintResult(out, "AlphaTube", data.AlphaTube);
    PrintResult(out, "AlphaShell", data.AlphaShell);
    PrintResult(out, "OverallK", data.OverallK);
    PrintResult(out, "SurfaceF", data.SurfaceF);
    return kExitOk;
}

int Heater(const Arguments& a, std::ostream& out, std::ostream& err, const Clock& clock) {
    DesignData data;
    StartTask(data, a);
    WriteHeaterLabels(data);
    data.HorizontalTubes = a.horizontal.value_or(false) ? kTrue : kFalse;
    StoreTexts(data, data.HeaterTexts, a.values, 0, kHeaterSourceCount);
    for (int i = 0; i < 4; ++i) {
        const int slot = 12 + i;
        data.HeaterTexts[slot] = NormalizeDecimal(a.values[static_cast<std::size_t>(kHeaterSourceCount + i)]);
        data.Values[slot] = ReadValue(data.HeaterTexts[slot]);
    }

    std::array<std::string, kHeaterSourceCount> labels;
    for (int i = 0; i < kHeaterSourceCount; ++i) {
        labels[static_cast<std::size_t>(i)] = data.HeaterLabels[static_cast<std::size_t>(i)];
    }
    if (int rc = CheckSource(data, kHeaterBounds, labels, data.HeaterTexts.data(), ValidateHeaterData, err);
        rc != kExitOk) {
        return rc;
    }
    for (int slot = 12; slot <= 15; ++slot) {
        const SingleBounds b = HeaterCorrectionBounds(slot);
        if (!WithinSingleBounds(data.Values[slot], b)) {
            const int labelSlot = (slot == 14 && data.HorizontalTubes == 0) ? 16 : slot;
            return RangeError(err, slot, data.HeaterLabels[labelSlot], data.HeaterTexts[slot],
                              InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
        }
    }

    CalcHeater(data);
    if (data.DataError != 0) {
        err << HeaterLaminarLine(data) << "\n";
        return kExitMethod;
    }
    if (a.report) {
        RecordingPrinter printer;
        data.ReportPrinted = kTrue;
        PrintHeaterResult(data, printer, clock);
        WriteReport(out, printer);
        return kExitOk;
    }
    PrintResult(out, "AlphaTube", data.AlphaTube);
    PrintResult(out, "AlphaShell", data.AlphaShell);
    PrintResult(out, "OverallK", data.OverallK);
    PrintResult(out, "SurfaceF", data.SurfaceF);
    PrintResult(out, "ReTube", data.ReTube);
    return kExitOk;
}

int Cooler(const Arguments& a, std::ostream& out, std::ostream& err, const Clock& clock) {
    DesignData data;
    StartTask(data, a);
    WriteCoolerLabels(data);
    StoreTexts(data, data.CoolerTexts, a.values, 0, kCoolerLabelCount);

    std::array<std::string, kCoolerSourceCount> labels;
    for (int i = 0; i < kCoolerSourceCount; ++i) {
        labels[static_cast<std::size_t>(i)] = data.CoolerLabels[static_cast<std::size_t>(i)];
    }
    if (int rc = CheckSource(data, kCoolerBounds, labels, data.CoolerTexts.data(), ValidateCoolerData, err);
        rc != kExitOk) {
        return rc;
    }
    for (int slot = 13; slot <= 17; ++slot) {
        if (!CoolerConstructionAccepted(slot, data.Values[slot])) {
            const ConstructionBounds b = CoolerConstructionBounds(slot);
            return RangeError(err, slot, data.CoolerLabels[slot], data.CoolerTexts[slot],
                              InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
        }
    }

    CalcCooler(data);
    if (a.report) {
        RecordingPrinter printer;
        data.ReportPrinted = kTrue;
        PrintCoolerResult(data, printer, clock);
        WriteReport(out, printer);
        return kExitOk;
    }
    PrintResult(out, "AlphaTube", data.AlphaTube);
    PrintResult(out, "AlphaShell", data.AlphaShell);
    PrintResult(out, "OverallK", data.OverallK);
    PrintResult(out, "SurfaceF", data.SurfaceF);
    PrintResult(out, "ReTube", data.ReTube);
    PrintResult(out, "ReShell", data.ReShell);
    return kExitOk;
}

}  // namespace

int RunCalculator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Clock& clock) {
    if (args.empty()) {
        return Usage(err, "не указан вид аппарата");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        out << kHelp;
        return kExitOk;
    }

    Arguments a;
    std::size_t expected = 0;
    if (args[0] == "evaporator") {
        a.kind = Kind::Evaporator;
        expected = kEvaporatorSourceCount + 1;
    } else if (args[0] == "heater") {
        a.kind = Kind::Heater;
        expected = kHeaterSourceCount + 4;
    } else if (args[0] == "cooler") {
        a.kind = Kind::Cooler;
        expected = kCoolerSourceCount + 5;
    } else {
        return Usage(err, "неизвестный вид аппарата: \"" + args[0] + "\"");
    }

    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--report") {
            a.report = true;
        } else if (arg == "--student") {
            if (i + 1 >= args.size()) {
                return Usage(err, "после --student нужно имя");
            }
            a.student = args[++i];
        } else if (a.kind == Kind::Heater && (arg == "--horizontal" || arg == "--vertical")) {
            const bool horizontal = arg == "--horizontal";
            if (a.horizontal.has_value() && *a.horizontal != horizontal) {
                return Usage(err, "указано и --horizontal, и --vertical");
            }
            a.horizontal = horizontal;
        } else {
            a.values.push_back(arg);
        }
    }
    if (a.kind == Kind::Heater && !a.horizontal.has_value()) {
        return Usage(err, "для подогревателя нужен --horizontal или --vertical");
    }
    if (a.values.size() != expected) {
        return Usage(err, "нужно значений: " + std::to_string(expected) +
                              ", дано: " + std::to_string(a.values.size()));
    }

    switch (a.kind) {
        case Kind::Evaporator:
            return Evaporator(a, out, err, clock);
        case Kind::Heater:
            return Heater(a, out, err, clock);
        case Kind::Cooler:
            return Cooler(a, out, err, clock);
    }
    return kExitUsage;
}

}  // namespace heatx::cli
