#include <cmath>

#include "methods/calc.h"

namespace heatx {

namespace {
constexpr double kPi = 3.14159265358979;
constexpr double kG = 9.81;
constexpr double kWall = 0.004;  // inner diameter = outer diameter - 0.004 m
}  // namespace

namespace {

template <bool kRecord>
int Cooler(DesignData& data, int refinementLimit, [[maybe_unused]] CoolerTrace* trace) {
    const auto& v = data.Values;
    const double lambda1 = v[0];
    const double rho1 = v[1];
    const double mu1 = v[2];
    const double c1 = v[3];
    const double beta = v[4];
    const double flow1 = v[5];
    const double lambda2 = v[6];
    const double mu2 = v[7];
    const double c2 = v[8];
    const double flow2 = v[9];
    const double dtLog = v[10];
    const double sumR = v[11];
    const double load = v[12];
    const double d = v[13];
    const double passes = v[14];
    const double mixedFlow = v[15];
    const double tubes = v[16];
    const double section = v[17];

    const float di = static_cast<float>(d - kWall);

    // Tube side: Reynolds, Prandtl and the Grashof number without its temperature difference.
    const float t = static_cast<float>(tubes * kPi * mu1 * di);
    data.ReTube = static_cast<float>(flow1 * 4 * passes / t);
    const float pr1 = static_cast<float>(c1 * mu1 / lambda1);
    const float di3 = static_cast<float>(static_cast<double>(di) * di * di);
    const float rho1Sq = static_cast<float>(rho1 * rho1);
    const float mu1Sq = static_cast<float>(mu1 * mu1);
    const float grashof = static_cast<float>(di3 * kG * rho1Sq * beta / mu1Sq);
    const float lnRe = static_cast<float>(std::log(static_cast<double>(data.ReTube)));
    const float lnPr = static_cast<float>(std::log(static_cast<double>(pr1)));
    // The recorder takes each group of values where it is computed, so that no value lives longer
    // without one.
    if constexpr (kRecord) {
        *trace = CoolerTrace{};
        trace->di = di;
        trace->T = t;
        trace->ReTube = data.ReTube;
        trace->Pr1 = pr1;
        trace->di3 = di3;
        trace->rho1Sq = rho1Sq;
        trace->mu1Sq = mu1Sq;
        trace->Gr = grashof;
        trace->lnRe = lnRe;
        trace->lnPr = lnPr;
    }

    const bool laminar = data.ReTube < 2300.0f;
    float f = 0.0f;
    if (!laminar && data.ReTube < 10000.0f) {
        f = static_cast<float>(lambda1 / di * 0.008);
        data.AlphaTube = static_cast<float>(f * std::exp(0.9 * lnRe) * std::exp(0.43 * lnPr));
    } else if (!laminar) {
        f = static_cast<float>(lambda1 / di * 0.023);
        data.AlphaTube = static_cast<float>(f * std::exp(0.8 * lnRe) * std::exp(0.43 * lnPr));
    } else {
        f = static_cast<float>(lambda1 / di * 0.15);
        data.AlphaTube = static_cast<float>(f * std::exp(0.33 * lnRe) * std::exp(0.43 * lnPr) *
                                            std::pow(static_cast<double>(grashof), 0.1));
    }
    if constexpr (kRecord) {
        trace->tubeLaw = laminar                  ? CoolerTubeLaw::Laminar
                         : data.ReTube < 10000.0f ? CoolerTubeLaw::Transitional
                                                  : CoolerTubeLaw::Turbulent;
        trace->factor = f;
    }

    // Intertube space, with the outer diameter as the characteristic size.
    data.ReShell = static_cast<float>(d * flow2 / (section * mu2));
    const float pr2 = static_cast<float>(c2 * mu2 / lambda2);
    if (data.ReShell <= 1000.0f) {
        data.AlphaShell =
            static_cast<float>(0.336 * (lambda2 / d) * std::sqrt(static_cast<double>(data.ReShell)) *
                               std::pow(static_cast<double>(pr2), 0.36));
    } else {
        data.AlphaShell =
            static_cast<float>(std::pow(static_cast<double>(pr2), 0.36) *
                               (std::pow(static_cast<double>(data.ReShell), 0.6) * (lambda2 / d * 0.24)));
    }

    if constexpr (kRecord) {
        trace->ReShell = data.ReShell;
        trace->Pr2 = pr2;
        trace->shellLaw = data.ReShell <= 1000.0f ? CoolerShellLaw::SquareRoot : CoolerShellLaw::Power;
        trace->AlphaShell = data.AlphaShell;
    }

    // Log-mean temperature difference corrected for mixed flow.
    const float dt = static_cast<float>(mixedFlow * dtLog);
    const auto overall = [&] {
        return static_cast<float>(1 / ((1 / static_cast<double>(data.AlphaShell) + sumR) +
                                       1 / static_cast<double>(data.AlphaTube)));
    };
    data.OverallK = overall();
    const float alpha0 = data.AlphaTube;
    if constexpr (kRecord) {
        trace->dt = dt;
        trace->OverallK0 = data.OverallK;
        trace->alpha0 = alpha0;
    }

    // Laminar flow: the coefficient depends on the temperature drop across the tube-side film, which
    // depends on the coefficient; refine by fixed-point iteration on the overall coefficient.
    int passesMade = 0;
    if (laminar) {
        for (;;) {
            ++passesMade;
            const float kOld = data.OverallK;
            float w = static_cast<float>(dt * static_cast<double>(data.OverallK) / data.AlphaTube);
            const float drop = w;
            w = static_cast<float>(std::pow(static_cast<double>(w), 0.1));
            data.AlphaTube = static_cast<float>(static_cast<double>(w) * alpha0);
            data.OverallK = overall();
            const float delta =
                static_cast<float>((static_cast<double>(data.OverallK) - kOld) / data.OverallK);
            if constexpr (kRecord) {
                trace->passes.push_back({kOld, drop, w, data.AlphaTube, data.OverallK, delta});
            }
            if (!(delta > 0.1f) || passesMade >= refinementLimit) {
                break;
            }
        }
    }

    data.SurfaceF = static_cast<float>(load / (static_cast<double>(dt) * data.OverallK));
    if constexpr (kRecord) {
        trace->AlphaTube = data.AlphaTube;
        trace->OverallK = data.OverallK;
        trace->SurfaceF = data.SurfaceF;
    }
    // A result that is not a finite number (a temperature difference so small that the surface
    // overflows, say) is no result: the method fails.
    if (!ResultsFinite(data)) {
        data.DataError = kTrue;
    }
    return passesMade;
}

}  // namespace

// Without a recorder the instance that records nothing runs: the method costs what it costs alone.
int CalcCooler(DesignData& data, int refinementLimit, CoolerTrace* trace) {
    return trace != nullptr ? Cooler<true>(data, refinementLimit, trace)
                            : Cooler<false>(data, refinementLimit, nullptr);
}

}  // namespace heatx
