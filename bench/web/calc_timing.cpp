// The three calculations timed alone, the same cases as the core benchmark's (the reference data; the
// cooler with one pass, laminar flow and its refinement): built natively and with Emscripten for node,
// so that `make bench-web` compares the WebAssembly with the machine's code. Prints one line per
// calculation: its name and the median time of one calculation in nanoseconds over 15 rounds.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <vector>

#include "design_data/design_data.h"
#include "design_data/numeric.h"
#include "methods/calc.h"

namespace {

using heatx::DesignData;

template <std::size_t N>
void Load(DesignData& data, const std::array<std::string_view, N>& texts, int first = 0) {
    for (std::size_t i = 0; i < N; ++i) {
        data.Values[first + i] = heatx::ReadValue(texts[i]);
    }
}

volatile float sink = 0.0f;

template <class Calc>
double MedianNanoseconds(DesignData data, Calc calc) {
    // Enough calls that one round takes some milliseconds.
    constexpr int kCalls = 20000;
    constexpr int kRounds = 15;
    std::vector<double> rounds;
    for (int round = 0; round < kRounds + 1; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCalls; ++i) {
            data.Values[0] = data.Values[0] + sink;
            calc(data);
            sink = sink + data.SurfaceF * 0.0f;
        }
        const auto end = std::chrono::steady_clock::now();
        if (round > 0) {  // the first round warms up (the engine compiles the code in its tiers)
            rounds.push_back(std::chrono::duration<double, std::nano>(end - start).count() / kCalls);
        }
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

}  // namespace

int main() {
    DesignData evaporator;
    Load(evaporator, heatx::kEvaporatorReferenceTexts);
    evaporator.Values[heatx::kTubeHeightSlot] = 4.0f;
    std::printf("evaporator %.1f\n",
                MedianNanoseconds(evaporator, [](DesignData& d) { heatx::CalcEvaporator(d); }));

    DesignData heater;
    Load(heater, heatx::kHeaterReferenceTexts);
    Load(heater, heatx::kHeaterReferenceConstruction, 12);
    std::printf("heater %.1f\n", MedianNanoseconds(heater, [](DesignData& d) { heatx::CalcHeater(d); }));

    DesignData cooler;
    Load(cooler, heatx::kCoolerReferenceTexts);
    Load(cooler, heatx::kCoolerReferenceConstruction, 13);
    cooler.Values[14] = 1.0f;
    std::printf("cooler %.1f\n", MedianNanoseconds(cooler, [](DesignData& d) { heatx::CalcCooler(d); }));
    return 0;
}
