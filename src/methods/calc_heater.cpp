#include <cmath>

#include "methods/calc.h"

namespace heatx {

namespace {
constexpr double kPi = 3.14159265358979;
constexpr double kWall = 0.004;  // twice the 2 mm tube wall: inner diameter = outer - 0.004 m
}  // namespace

bool HeaterFlowRefused(const DesignData& data) {
    return !(data.ReTube > 2300.0f);
}

namespace {

template <bool kRecord>
void Heater(DesignData& data, [[maybe_unused]] HeaterTrace* trace) {
    data.DataError = kFalse;
    float epsilon = 0.7f;  // bundle factor of condensation on horizontal tubes
    float cTube = 0.023f;  // constant and exponent of the tube-side correlation (turbulent)
    float mTube = 0.8f;

    const auto& v = data.Values;
    const double lambdaC = v[0];
    const double rhoC = v[1];
    const double rC = v[2];
    const double muC = v[3];
    const double steam = v[4];
    const double lambda = v[5];
    const double mu = v[6];
    const double c = v[7];
    const double sumR = v[8];
    const double dt = v[9];
    const double liquid = v[10];
    const double d = v[12];
    const double passes = v[13];
    const double tubes = v[15];

    if (tubes > 100) {
        epsilon = 0.6f;
    }
    if constexpr (kRecord) {
        *trace = HeaterTrace{};
        trace->epsilon = epsilon;
    }

    data.ReTube = static_cast<float>((liquid * 4 * passes) / ((d - kWall) * (mu * kPi) * tubes));
    if constexpr (kRecord) {
        trace->ReTube = data.ReTube;
    }
    // Laminar flow in the tubes is refused.
    if (HeaterFlowRefused(data)) {
        if constexpr (kRecord) {
            trace->laminar = true;
        }
        data.DataError = kTrue;
        return;
    }
    if (data.ReTube < 10000.0f) {
        // Transitional range.
        cTube = 0.008f;
        mTube = 0.9f;
    }

    const double re = data.ReTube;
    data.AlphaTube =
        static_cast<float>(std::pow(re, static_cast<double>(mTube)) * (lambda / (d - kWall) * cTube));
    if constexpr (kRecord) {
        trace->C = cTube;
        trace->mExp = mTube;
        trace->alphaStage = data.AlphaTube;
    }
    data.AlphaTube = static_cast<float>(std::pow(c * mu / lambda, 0.43) * data.AlphaTube);

    // Condensation on the bundle: vertical tubes by the tube diameter, horizontal by the tube length.
    float e = 3.78f;
    float size = v[12];
    if (data.HorizontalTubes != 0) {
        e = static_cast<float>(epsilon * 2.02);
        size = v[14];
    }
    data.AlphaShell = static_cast<float>(std::pow(rhoC * rhoC * tubes * size / (steam * muC), 1.0 / 3) *
                                         (static_cast<double>(e) * lambdaC));

    data.OverallK = static_cast<float>(
        1 / (1 / static_cast<double>(data.AlphaTube) + sumR + 1 / static_cast<double>(data.AlphaShell)));
    // The heat load is the steam flow times its heat of condensation.
    data.SurfaceF = static_cast<float>(steam * rC / (data.OverallK * dt));

    if constexpr (kRecord) {
        trace->AlphaTube = data.AlphaTube;
        trace->E = e;
        trace->size = size;
        trace->AlphaShell = data.AlphaShell;
        trace->OverallK = data.OverallK;
        trace->SurfaceF = data.SurfaceF;
        trace->finished = true;
    }
    // A result that is not a finite number (a temperature difference so small that the surface
    // overflows, say) is no result: the method fails.
    if (!ResultsFinite(data)) {
        data.DataError = kTrue;
    }
}

}  // namespace

// Without a recorder the instance that records nothing runs: the method costs what it costs alone.
void CalcHeater(DesignData& data, HeaterTrace* trace) {
    if (trace != nullptr) {
        Heater<true>(data, trace);
    } else {
        Heater<false>(data, nullptr);
    }
}

}  // namespace heatx
