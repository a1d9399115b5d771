#include <cmath>

#include "design_data/numeric.h"
#include "methods/calc.h"

namespace heatx {

namespace {
constexpr double kG = 9.81;
constexpr double kOneThird = 0.3333333333333333;

bool Finite(float v) {
    return std::isfinite(v);
}
}  // namespace

// The evaporator. The unknown is s, the cube root of the heat flux q. The balance of temperature drops across
// the boiling film (s^1.2 / B), the condensate film (s^4 / A) and the wall with its fouling (sum_r * s^3)
// must equal the mean temperature difference. The root lies between s = 1 and the cube root of the
// critical heat flux; a chord step moves the lower point and a Newton step the upper one until they
// are no more than 0.1 apart.
namespace {

template <bool kRecord>
void Evaporator(DesignData& data, const std::function<void()>& beep, [[maybe_unused]] EvaporatorTrace* trace,
                int iterationLimit) {
    data.DataError = kFalse;
    const auto fail = [&] {
        if (beep) {
            beep();
        }
        data.DataError = kTrue;
    };

    const auto& v = data.Values;
    const double lambdaC = v[0];
    const double rhoC = v[1];
    const double rC = v[2];
    const double muC = v[3];
    const double lambda = v[4];
    const double rho = v[5];
    const double c = v[6];
    const double mu = v[7];
    const double sigma = v[8];
    const double rhoV = v[9];
    const double rhoV0 = v[10];
    const double r = v[11];
    const double dt = v[12];
    const double sumR = v[13];
    const double load = v[14];
    const double height = v[15];

    // Boiling factor B of alpha_boil = B * q^0.6.
    const float t1 = static_cast<float>(std::pow(lambda, 1.3) * 780 * std::sqrt(rho / sigma));
    const float t2 = static_cast<float>(std::pow(rhoV, 0.06) * t1 / std::pow(r, 0.6));
    const float b = static_cast<float>(t2 / (std::pow(rhoV0, 0.66) * std::pow(mu * c, 0.3)));

    // Condensation factor A of alpha_cond = A * q^(-1/3) on vertical tubes of the given height.
    const float z = ToSingle(rhoC * kG * rhoC * rC / (height * muC));
    const float lnZ = static_cast<float>(std::log(static_cast<double>(z)));
    const float a = static_cast<float>(lambdaC * 1.21 * std::exp(lnZ * kOneThird));

    // Critical heat flux of boiling.
    const float p = static_cast<float>(std::sqrt(std::sqrt(rho * kG * sigma)) * std::sqrt(rhoV));
    const float qcr = static_cast<float>(p * 0.14 * r);

    float x = 1.0f;
    float y = static_cast<float>(std::exp(std::log(static_cast<double>(qcr)) * kOneThird));
    if constexpr (kRecord) {
        *trace = EvaporatorTrace{};
        trace->T1 = t1;
        trace->T2 = t2;
        trace->B = b;
        trace->z = z;
        trace->lnZ = lnZ;
        trace->A = a;
        trace->P = p;
        trace->qcr = qcr;
        trace->yStart = y;
    }

    bool converged = false;
    for (int iteration = 0; iteration < iterationLimit; ++iteration) {
        const double xd = x;
        const double yd = y;
        const float x3 = static_cast<float>(xd * xd * xd);
        const float fx = static_cast<float>(std::pow(xd, 1.2) / b + (xd * x3 / a + x3 * sumR) - dt);
        const float y2 = static_cast<float>(yd * yd);
        const float y3 = static_cast<float>(static_cast<double>(y2) * yd);
        const float y4 = static_cast<float>(static_cast<double>(y3) * yd);
        const float fy =
            static_cast<float>(std::pow(yd, 1.2) / b + (y3 * sumR + y4 / static_cast<double>(a)) - dt);
        const float dfy = static_cast<float>(std::pow(yd, 0.2) * 1.2 / b +
                                             (sumR * 3 * y2 + static_cast<double>(y3) * 4 / a));
        // Chord through the two old points moves the lower point; Newton's step from the old upper
        // point moves the upper one.
        x = static_cast<float>(xd - (yd - xd) * fx / (static_cast<double>(fy) - fx));
        y = static_cast<float>(yd - static_cast<double>(fy) / dfy);
        [[maybe_unused]] EvaporatorIteration* step = nullptr;
        if constexpr (kRecord) {
            trace->points.emplace_back(x, y);
            step = &trace->iterations.emplace_back(EvaporatorIteration{static_cast<float>(xd),
                                                                       static_cast<float>(yd), x3, fx, y2, y3,
                                                                       y4, fy, dfy, x, y, 0.0f, false});
        }
        if (!(x >= 1.0f) || !(y >= x)) {
            fail();
            return;
        }
        const float d = static_cast<float>(static_cast<double>(y) - x);
        if constexpr (kRecord) {
            step->d = d;
            step->dStored = true;
        }
        if (!(d > 0.1f)) {
            converged = true;
            break;
        }
    }
    if (!converged) {
        fail();
        return;
    }

    const float m = static_cast<float>((static_cast<double>(y) + x) / 2);
    const float q = static_cast<float>(static_cast<double>(m) * m * m);
    const float alphaTube = static_cast<float>(std::pow(static_cast<double>(q), 0.6) * b);
    const float alphaShell = static_cast<float>(std::pow(static_cast<double>(q), -kOneThird) * a);
    const float overallK = static_cast<float>(q / dt);
    const float surface = static_cast<float>(load / q);
    if constexpr (kRecord) {
        trace->converged = true;
        trace->m = m;
        trace->q = q;
        trace->AlphaTube = alphaTube;
        trace->AlphaShell = alphaShell;
        trace->OverallK = overallK;
        trace->SurfaceF = surface;
        trace->finished = true;
    }
    if (!Finite(alphaTube) || !Finite(alphaShell) || !Finite(overallK) || !Finite(surface)) {
        fail();
        return;
    }
    data.AlphaTube = alphaTube;
    data.AlphaShell = alphaShell;
    data.OverallK = overallK;
    data.SurfaceF = surface;
}

}  // namespace

// Without a recorder the instance that records nothing runs: the method costs what it costs alone.
void CalcEvaporator(DesignData& data, const std::function<void()>& beep, EvaporatorTrace* trace,
                    int iterationLimit) {
    if (trace != nullptr) {
        Evaporator<true>(data, beep, trace, iterationLimit);
    } else {
        Evaporator<false>(data, beep, nullptr, iterationLimit);
    }
}

}  // namespace heatx
