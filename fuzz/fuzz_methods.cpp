// The validations followed by the matching calculation on arbitrary values (any float bit pattern),
// then the screen texts and the printed report of the result: no crash, no hang, no undefined
// behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "design_data/design_data.h"
#include "design_data/validation.h"
#include "methods/calc.h"
#include "reports/clock.h"
#include "reports/layout.h"
#include "reports/printer.h"
#include "reports/report_pages.h"
#include "reports/result_lines.h"

namespace {

void Texts(heatx::DesignData& d) {
    heatx::WriteEvaporatorLabels(d);
    heatx::WriteHeaterLabels(d);
    heatx::WriteCoolerLabels(d);
    for (std::size_t i = 0; i < d.EvaporatorTexts.size(); ++i) {
        d.EvaporatorTexts[i] = std::to_string(d.Values[i]);
        d.HeaterTexts[i] = d.EvaporatorTexts[i];
    }
    for (std::size_t i = 0; i < d.CoolerTexts.size(); ++i) {
        d.CoolerTexts[i] = std::to_string(d.Values[i]);
    }
}

void Report(heatx::DesignData& d, int kind) {
    static const heatx::FixedClock clock({2026, 12, 7, 11, 5, 30});
    heatx::RecordingPrinter printer;
    d.ReportHeadPending = heatx::kTrue;
    d.TableHeadPending = heatx::kTrue;
    switch (kind) {
        case 0:
            heatx::PrintEvaporatorResult(d, printer, clock);
            heatx::PrintSignatureRule(printer, 66);
            (void)heatx::EvaporatorResultsCaption(d, false);
            (void)heatx::EvaporatorResultsCaption(d, true);
            break;
        case 1:
            heatx::PrintHeaterResult(d, printer, clock);
            (void)heatx::HeaterResultsLine(d);
            (void)heatx::HeaterLaminarLine(d);
            (void)heatx::HeaterReynoldsCaption(d);
            break;
        default:
            heatx::PrintCoolerResult(d, printer, clock);
            (void)heatx::CoolerResultsLine(d);
            (void)heatx::CoolerReynoldsLine(d);
            break;
    }
    printer.EndDoc();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kFloats = heatx::kValueCount * sizeof(float);
    if (size < kFloats + 1) {
        return 0;
    }
    heatx::DesignData d;
    std::memcpy(d.Values.data(), data, kFloats);
    const std::uint8_t control = data[kFloats];
    const int kind = control % 3;
    const bool checked = (control & 4) != 0;  // validate first, as the program does
    d.HorizontalTubes = (control & 8) != 0 ? heatx::kTrue : heatx::kFalse;
    Texts(d);

    switch (kind) {
        case 0:
            if (checked) {
                d.BadIndex = heatx::ValidateEvaporatorData(d);
                if (d.DataError != 0 || !heatx::TubeHeightAccepted(d.Values[15])) {
                    return 0;
                }
            }
            heatx::CalcEvaporator(d);
            break;
        case 1:
            if (checked) {
                d.BadIndex = heatx::ValidateHeaterData(d);
                if (d.DataError != 0) {
                    return 0;
                }
                for (int slot = 12; slot <= 15; ++slot) {
                    if (!heatx::WithinSingleBounds(d.Values[slot], heatx::HeaterCorrectionBounds(slot))) {
                        return 0;
                    }
                }
            }
            heatx::CalcHeater(d);
            break;
        default:
            if (checked) {
                d.BadIndex = heatx::ValidateCoolerData(d);
                if (d.DataError != 0) {
                    return 0;
                }
                for (int slot = 13; slot <= 17; ++slot) {
                    if (!heatx::CoolerConstructionAccepted(slot, d.Values[slot])) {
                        return 0;
                    }
                }
            }
            heatx::CalcCooler(d);
            break;
    }
    Report(d, kind);
    return 0;
}
