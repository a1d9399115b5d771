#include "variant.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "design_data/numeric.h"
#include "design_data/parameters.h"
#include "design_data/validation.h"
#include "methods/messages.h"
#include "reports/layout.h"
#include "reports/printer.h"
#include "reports/report_pages.h"
#include "reports/result_lines.h"
#include "reports/text.h"

namespace heatx::cli {

namespace {

// Shortest decimal text of a bound as it is held (single or double precision).
template <typename T>
std::string BoundText(T value) {
    std::array<char, 64> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
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

void StartTask(DesignData& data, std::string_view student) {
    data.StudentName = StudentNameFromAnswer(student);
    data.ReportPrinted = kFalse;
    data.ReportHeadPending = kTrue;
    data.TableHeadPending = kTrue;
}

template <std::size_t N>
void Store(DesignData& data, std::array<std::string, N>& texts, int slot, std::string_view text) {
    texts[static_cast<std::size_t>(slot)] = NormalizeDecimal(text);
    data.Values[static_cast<std::size_t>(slot)] = ReadValue(texts[static_cast<std::size_t>(slot)]);
}

VariantResult RangeFailure(int position, std::string_view label, const std::string& text, std::string range) {
    VariantResult r;
    r.outcome = Outcome::Range;
    r.position = position;
    r.label = TrimBlanks(label);
    r.text = text;
    r.range = std::move(range);
    return r;
}

VariantResult MethodFailure(std::string reason) {
    VariantResult r;
    r.outcome = Outcome::Method;
    r.reason = std::move(reason);
    return r;
}

template <std::size_t N>
std::optional<VariantResult> CheckSource(DesignData& data, const std::array<SourceBounds, N>& bounds,
                                         const std::string* labels, const std::string* texts,
                                         std::uint8_t (*validate)(DesignData&)) {
    data.BadIndex = validate(data);
    if (data.DataError != 0) {
        const std::size_t i = data.BadIndex;
        return RangeFailure(static_cast<int>(i), labels[i], texts[i], SourceRange(bounds[i]));
    }
    return std::nullopt;
}

VariantResult Evaporator(const std::vector<std::string_view>& values, DesignData& data, const Recorders& r) {
    WriteEvaporatorLabels(data);
    for (int i = 0; i <= kTubeHeightSlot; ++i) {
        Store(data, data.EvaporatorTexts, i, values[static_cast<std::size_t>(i)]);
    }
    if (auto failure = CheckSource(data, kEvaporatorBounds, data.EvaporatorLabels.data(),
                                   data.EvaporatorTexts.data(), ValidateEvaporatorData)) {
        return *failure;
    }
    if (!TubeHeightAccepted(data.Values[kTubeHeightSlot])) {
        return RangeFailure(kTubeHeightSlot, kHeaterLabelTexts[16], data.EvaporatorTexts[kTubeHeightSlot],
                            InclusiveRange("1", "10"));
    }
    CalcEvaporator(data, {}, r.evaporator);
    if (data.DataError != 0) {
        return MethodFailure(std::string(kEvaporatorFailureMessage));
    }
    return {};
}

VariantResult Heater(const std::vector<std::string_view>& values, bool horizontal, DesignData& data,
                     const Recorders& r) {
    WriteHeaterLabels(data);
    data.HorizontalTubes = horizontal ? kTrue : kFalse;
    for (int i = 0; i < kHeaterSourceCount; ++i) {
        Store(data, data.HeaterTexts, i, values[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 4; ++i) {
        Store(data, data.HeaterTexts, 12 + i, values[static_cast<std::size_t>(kHeaterSourceCount + i)]);
    }
    if (auto failure = CheckSource(data, kHeaterBounds, data.HeaterLabels.data(), data.HeaterTexts.data(),
                                   ValidateHeaterData)) {
        return *failure;
    }
    for (int slot = 12; slot <= 15; ++slot) {
        const SingleBounds b = HeaterCorrectionBounds(slot);
        if (!WithinSingleBounds(data.Values[static_cast<std::size_t>(slot)], b)) {
            const int labelSlot = (slot == 14 && !horizontal) ? 16 : slot;
            return RangeFailure(slot - 1, data.HeaterLabels[static_cast<std::size_t>(labelSlot)],
                                data.HeaterTexts[static_cast<std::size_t>(slot)],
                                InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
        }
    }
    CalcHeater(data, r.heater);
    if (data.DataError != 0) {
        return MethodFailure(HeaterFlowRefused(data) ? HeaterLaminarLine(data)
                                                     : std::string(kNoFiniteResultMessage));
    }
    return {};
}

VariantResult Cooler(const std::vector<std::string_view>& values, DesignData& data, const Recorders& r) {
    WriteCoolerLabels(data);
    for (int i = 0; i < kCoolerLabelCount; ++i) {
        Store(data, data.CoolerTexts, i, values[static_cast<std::size_t>(i)]);
    }
    if (auto failure = CheckSource(data, kCoolerBounds, data.CoolerLabels.data(), data.CoolerTexts.data(),
                                   ValidateCoolerData)) {
        return *failure;
    }
    for (int slot = 13; slot <= 17; ++slot) {
        if (!CoolerConstructionAccepted(slot, data.Values[static_cast<std::size_t>(slot)])) {
            const ConstructionBounds b = CoolerConstructionBounds(slot);
            return RangeFailure(slot, data.CoolerLabels[static_cast<std::size_t>(slot)],
                                data.CoolerTexts[static_cast<std::size_t>(slot)],
                                InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
        }
    }
    data.DataError = kFalse;
    CalcCooler(data, kCoolerRefinementLimit, r.cooler);
    if (data.DataError != 0) {
        return MethodFailure(std::string(kNoFiniteResultMessage));
    }
    return {};
}

}  // namespace

std::string KindKey(std::string_view text) {
    std::string key;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '-' || c == '_' || c == '\t') {
            if (!key.empty() && key.back() != ' ') {
                key.push_back(' ');
            }
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            key.push_back(static_cast<char>(c - 'a' + 'A'));
            continue;
        }
        if (i + 1 < text.size()) {
            const auto n = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xD0 && n >= 0xB0 && n <= 0xBF) {  // а..п
                key += "\xD0";
                key.push_back(static_cast<char>(n - 0x20));
                ++i;
                continue;
            }
            if (c == 0xD1 && n >= 0x80 && n <= 0x8F) {  // р..я
                key += "\xD0";
                key.push_back(static_cast<char>(n + 0x20));
                ++i;
                continue;
            }
            if (c == 0xD1 && n == 0x91) {  // ё
                key += "\xD0\x81";
                ++i;
                continue;
            }
        }
        key.push_back(static_cast<char>(c));
    }
    while (!key.empty() && key.back() == ' ') {
        key.pop_back();
    }
    return key;
}

std::optional<VariantKind> ParseKindName(std::string_view text) {
    const std::string key = KindKey(text);
    if (key == "EVAPORATOR" || key == "ИСПАРИТЕЛЬ") {
        return VariantKind{Kind::Evaporator, false};
    }
    if (key == "HEATER HORIZONTAL" || key == "ПОДОГРЕВАТЕЛЬ ГОРИЗОНТАЛЬНЫЙ" ||
        key == "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР ГОРИЗОНТАЛЬНЫЙ") {
        return VariantKind{Kind::Heater, true};
    }
    if (key == "HEATER VERTICAL" || key == "ПОДОГРЕВАТЕЛЬ ВЕРТИКАЛЬНЫЙ" ||
        key == "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР ВЕРТИКАЛЬНЫЙ") {
        return VariantKind{Kind::Heater, false};
    }
    if (key == "COOLER" || key == "ХОЛОДИЛЬНИК") {
        return VariantKind{Kind::Cooler, false};
    }
    return std::nullopt;
}

std::string_view KindName(VariantKind kind) {
    switch (kind.kind) {
        case Kind::Evaporator:
            return "evaporator";
        case Kind::Heater:
            return kind.horizontal ? "heater-horizontal" : "heater-vertical";
        case Kind::Cooler:
            return "cooler";
    }
    return "";
}

std::size_t ValueCount(Kind kind) {
    switch (kind) {
        case Kind::Evaporator:
            return kEvaporatorSourceCount + 1;
        case Kind::Heater:
            return kHeaterSourceCount + 4;
        case Kind::Cooler:
            return kCoolerLabelCount;
    }
    return 0;
}

std::vector<PositionalValue> PositionalValues(VariantKind kind, bool orientationKnown) {
    std::vector<PositionalValue> list;
    const auto add = [&](int position, int slot, std::string_view label, std::string_view unit,
                         std::string range) {
        list.push_back({position, slot, TrimBlanks(label), unit, std::move(range)});
    };
    switch (kind.kind) {
        case Kind::Evaporator:
            for (int i = 0; i < kEvaporatorSourceCount; ++i) {
                const auto s = static_cast<std::size_t>(i);
                add(i, i, kEvaporatorLabelTexts[s], kEvaporatorParameters[s].unit,
                    SourceRange(kEvaporatorBounds[s]));
            }
            add(kTubeHeightSlot, kTubeHeightSlot, kHeaterLabelTexts[16], kEvaporatorParameters[15].unit,
                InclusiveRange("1", "10"));
            break;
        case Kind::Heater:
            for (int i = 0; i < kHeaterSourceCount; ++i) {
                const auto s = static_cast<std::size_t>(i);
                add(i, i, kHeaterLabelTexts[s], kHeaterParameters[s].unit, SourceRange(kHeaterBounds[s]));
            }
            for (int slot = 12; slot <= 15; ++slot) {
                const SingleBounds b = HeaterCorrectionBounds(slot);
                std::string label = TrimBlanks(kHeaterLabelTexts[static_cast<std::size_t>(slot)]);
                if (slot == 14 && !orientationKnown) {
                    label += " (при --vertical: " + TrimBlanks(kHeaterLabelTexts[16]) + ")";
                } else if (slot == 14 && !kind.horizontal) {
                    label = TrimBlanks(kHeaterLabelTexts[16]);
                }
                add(slot - 1, slot, label, kHeaterParameters[static_cast<std::size_t>(slot)].unit,
                    InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
            }
            break;
        case Kind::Cooler:
            for (int i = 0; i < kCoolerSourceCount; ++i) {
                const auto s = static_cast<std::size_t>(i);
                add(i, i, kCoolerLabelTexts[s], kCoolerParameters[s].unit, SourceRange(kCoolerBounds[s]));
            }
            for (int slot = 13; slot <= 17; ++slot) {
                const ConstructionBounds b = CoolerConstructionBounds(slot);
                const auto s = static_cast<std::size_t>(slot);
                add(slot, slot, kCoolerLabelTexts[s], kCoolerParameters[s].unit,
                    InclusiveRange(BoundText(b.lower), BoundText(b.upper)));
            }
            break;
    }
    return list;
}

VariantResult ComputeVariant(VariantKind kind, const std::vector<std::string_view>& values,
                             std::string_view student, DesignData& data, const Recorders& recorders) {
    StartTask(data, student);
    switch (kind.kind) {
        case Kind::Evaporator:
            return Evaporator(values, data, recorders);
        case Kind::Heater:
            return Heater(values, kind.horizontal, data, recorders);
        case Kind::Cooler:
            return Cooler(values, data, recorders);
    }
    return {};
}

std::string RangeDescription(const VariantResult& result) {
    return "параметр T" + std::to_string(result.position) + " «" + result.label + "», введено \"" +
           result.text + "\", допустимо " + result.range;
}

void AppendReport(std::string& out, VariantKind kind, DesignData& data, const Clock& clock) {
    RecordingPrinter printer;
    data.ReportPrinted = kTrue;
    switch (kind.kind) {
        case Kind::Evaporator:
            PrintEvaporatorResult(data, printer, clock);
            PrintSignatureRule(printer, 66);
            break;
        case Kind::Heater:
            PrintHeaterResult(data, printer, clock);
            break;
        case Kind::Cooler:
            PrintCoolerResult(data, printer, clock);
            break;
    }
    for (const std::string& line : printer.Lines()) {
        out += line;
        out += '\n';
    }
}

ResultSet Results(VariantKind kind, const DesignData& data) {
    ResultSet set;
    const auto add = [&](std::string_view name, float value, int decimals) {
        set.items[set.count++] = NamedResult{name, value, decimals};
    };
    add("AlphaTube", data.AlphaTube, 2);
    add("AlphaShell", data.AlphaShell, 2);
    add("OverallK", data.OverallK, 2);
    add("SurfaceF", data.SurfaceF, 2);
    if (kind.kind == Kind::Heater) {
        add("ReTube", data.ReTube, 2);
    } else if (kind.kind == Kind::Cooler) {
        add("ReTube", data.ReTube, 1);
        add("ReShell", data.ReShell, 1);
    }
    return set;
}

std::string Exact(float value) {
    std::array<char, 64> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "%.9g", static_cast<double>(value));
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace heatx::cli
