// Speed of the three methods, of the numeric reading and of one printed report page.
#include <benchmark/benchmark.h>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "methods/calc.h"
#include "reports/clock.h"
#include "reports/printer.h"
#include "reports/report_pages.h"

namespace heatx {
namespace {

template <std::size_t N>
void Load(DesignData& data, const std::array<std::string_view, N>& texts, int first = 0) {
    for (std::size_t i = 0; i < N; ++i) {
        data.Values[first + i] = ReadValue(texts[i]);
    }
}

void BM_CalcEvaporator(benchmark::State& state) {
    DesignData data;
    Load(data, kEvaporatorReferenceTexts);
    data.Values[kTubeHeightSlot] = 4.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcEvaporator(data);
        benchmark::DoNotOptimize(data.SurfaceF);
    }
}
BENCHMARK(BM_CalcEvaporator);

void BM_CalcHeater(benchmark::State& state) {
    DesignData data;
    Load(data, kHeaterReferenceTexts);
    Load(data, kHeaterReferenceConstruction, 12);
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcHeater(data);
        benchmark::DoNotOptimize(data.SurfaceF);
    }
}
BENCHMARK(BM_CalcHeater);

void BM_CalcCoolerLaminar(benchmark::State& state) {
    DesignData data;
    Load(data, kCoolerReferenceTexts);
    Load(data, kCoolerReferenceConstruction, 13);
    data.Values[14] = 1.0f;  // one pass: laminar flow with its refinement
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcCooler(data);
        benchmark::DoNotOptimize(data.SurfaceF);
    }
}
BENCHMARK(BM_CalcCoolerLaminar);

// The same methods with their recorders, as the calculation protocol runs them.
void BM_CalcEvaporatorRecorded(benchmark::State& state) {
    DesignData data;
    Load(data, kEvaporatorReferenceTexts);
    data.Values[kTubeHeightSlot] = 4.0f;
    EvaporatorTrace trace;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcEvaporator(data, {}, &trace);
        benchmark::DoNotOptimize(trace.iterations.data());
    }
}
BENCHMARK(BM_CalcEvaporatorRecorded);

void BM_CalcHeaterRecorded(benchmark::State& state) {
    DesignData data;
    Load(data, kHeaterReferenceTexts);
    Load(data, kHeaterReferenceConstruction, 12);
    HeaterTrace trace;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcHeater(data, &trace);
        benchmark::DoNotOptimize(trace.SurfaceF);
    }
}
BENCHMARK(BM_CalcHeaterRecorded);

void BM_CalcCoolerLaminarRecorded(benchmark::State& state) {
    DesignData data;
    Load(data, kCoolerReferenceTexts);
    Load(data, kCoolerReferenceConstruction, 13);
    data.Values[14] = 1.0f;
    CoolerTrace trace;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.Values);
        CalcCooler(data, kCoolerRefinementLimit, &trace);
        benchmark::DoNotOptimize(trace.passes.data());
    }
}
BENCHMARK(BM_CalcCoolerLaminarRecorded);

void BM_ReadValue(benchmark::State& state) {
    const std::string text = NormalizeDecimal(" 2253900,5 Дж/кг");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadValue(text));
    }
}
BENCHMARK(BM_ReadValue);

void BM_EvaporatorReportPage(benchmark::State& state) {
    DesignData data;
    WriteEvaporatorLabels(data);
    for (std::size_t i = 0; i < kEvaporatorReferenceTexts.size(); ++i) {
        data.EvaporatorTexts[i] = std::string(kEvaporatorReferenceTexts[i]);
    }
    data.EvaporatorTexts[kTubeHeightSlot] = std::string(kEvaporatorReferenceHeight);
    data.StudentName = std::string(" Иванов Гр. Х-1");
    FixedClock clock({2026, 12, 7, 11, 5, 30});
    for (auto _ : state) {
        RecordingPrinter printer;
        data.ReportHeadPending = kTrue;
        data.TableHeadPending = kTrue;
        PrintEvaporatorResult(data, printer, clock);
        benchmark::DoNotOptimize(printer.Lines());
    }
}
BENCHMARK(BM_EvaporatorReportPage);

}  // namespace
}  // namespace heatx
