// The thermal calculations of the three apparatus kinds. Each reads Values (and HorizontalTubes) of
// the shared design record and writes the results and DataError. Every named intermediate is stored
// in single precision; the expression of one step is evaluated in double precision.
#pragma once

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "design_data/design_data.h"

namespace heatx {

// The root search of the evaporator gives up after this many iterations (it converges in a handful).
inline constexpr int kEvaporatorIterationLimit = 200;
// The cooler's laminar refinement stops after this many repetitions and keeps its last value.
inline constexpr int kCoolerRefinementLimit = 100;

// The recorders below are filled by the methods themselves while they compute, one field per named
// value of a step, so that a protocol of the calculation shows exactly the stored numbers. Without a
// recorder (a null pointer) the methods store nothing more than their results.

// One iteration of the evaporator's root search: the points it starts from, the balance values
// computed at them, the new points and their difference.
struct EvaporatorIteration {
    float x = 0.0f;     // lower point at the start of the iteration
    float y = 0.0f;     // upper point at the start of the iteration
    float x3 = 0.0f;    // x^3
    float fx = 0.0f;    // f(x)
    float y2 = 0.0f;    // y^2
    float y3 = 0.0f;    // y^3
    float y4 = 0.0f;    // y^4
    float fy = 0.0f;    // f(y)
    float dfy = 0.0f;   // f'(y)
    float xNew = 0.0f;  // chord step
    float yNew = 0.0f;  // Newton step
    float d = 0.0f;     // yNew - xNew, stored only when both failure tests pass
    bool dStored = false;
};

// Working values of one evaporator calculation.
struct EvaporatorTrace {
    float T1 = 0.0f;   // first stage of the boiling factor
    float T2 = 0.0f;   // second stage of the boiling factor
    float B = 0.0f;    // boiling factor
    float z = 0.0f;    // argument of the condensation factor
    float lnZ = 0.0f;  // ln z
    float A = 0.0f;    // condensation factor
    float P = 0.0f;    // first stage of the critical heat flux
    float qcr = 0.0f;  // critical heat flux, W/m2
    float yStart = 0.0f;
    std::vector<std::pair<float, float>> points;  // (x, y) after each iteration
    std::vector<EvaporatorIteration> iterations;
    bool converged = false;
    float m = 0.0f;  // mean point
    float q = 0.0f;  // heat flux, W/m2
    float AlphaTube = 0.0f;
    float AlphaShell = 0.0f;
    float OverallK = 0.0f;
    float SurfaceF = 0.0f;
    bool finished = false;  // the results were computed (they may still be not finite)
};

// Evaporator: boiling in vertical tubes of height Values[15], steam condensing outside. Clears
// DataError when it starts; on failure (the root search leaves its bracket, does not converge, or the
// result is not a finite number) it beeps and sets DataError to -1.
void CalcEvaporator(DesignData& data, const std::function<void()>& beep = {},
                    EvaporatorTrace* trace = nullptr, int iterationLimit = kEvaporatorIterationLimit);

// Working values of one heater calculation.
struct HeaterTrace {
    float epsilon = 0.0f;  // bundle factor of condensation on horizontal tubes
    float ReTube = 0.0f;
    bool laminar = false;     // refused: the Reynolds number is 2300 or less
    float C = 0.0f;           // constant of the tube-side correlation
    float mExp = 0.0f;        // exponent of the Reynolds number
    float alphaStage = 0.0f;  // Re^m * lambda / di * C, before the Prandtl factor
    float AlphaTube = 0.0f;
    float E = 0.0f;     // coefficient of the condensation formula
    float size = 0.0f;  // tube length (horizontal) or diameter (vertical) of that formula
    float AlphaShell = 0.0f;
    float OverallK = 0.0f;
    float SurfaceF = 0.0f;
    bool finished = false;
};

// Heater or dephlegmator: steam condensing on horizontal or vertical tubes, liquid in the tubes.
// Sets DataError to -1 (and writes only ReTube) when the tube flow is not turbulent enough, and
// sets it too (the results then are not meaningful) when a result is not a finite number.
void CalcHeater(DesignData& data, HeaterTrace* trace = nullptr);

// True when the heater's failure is the refusal of laminar flow (and not a result that is not finite).
bool HeaterFlowRefused(const DesignData& data);

// The correlations of the cooler's tube side and intertube space.
enum class CoolerTubeLaw { Laminar, Transitional, Turbulent };
enum class CoolerShellLaw { SquareRoot, Power };

// One pass of the cooler's laminar refinement.
struct CoolerRefinementPass {
    float kOld = 0.0f;  // overall coefficient before the pass
    float drop = 0.0f;  // temperature drop across the tube-side film, dt * K / alpha
    float w = 0.0f;     // wall factor, drop^0.1
    float AlphaTube = 0.0f;
    float OverallK = 0.0f;
    float delta = 0.0f;  // (K - Kold) / K
};

// Working values of one cooler calculation.
struct CoolerTrace {
    float di = 0.0f;
    float T = 0.0f;  // n * pi * mu1 * di
    float ReTube = 0.0f;
    float Pr1 = 0.0f;
    float di3 = 0.0f;
    float rho1Sq = 0.0f;
    float mu1Sq = 0.0f;
    float Gr = 0.0f;  // Grashof number without its temperature difference
    float lnRe = 0.0f;
    float lnPr = 0.0f;
    CoolerTubeLaw tubeLaw = CoolerTubeLaw::Turbulent;
    float factor = 0.0f;  // lambda1 / di * constant, the first factor of the tube-side law
    float alpha0 = 0.0f;  // tube-side coefficient before refinement
    float ReShell = 0.0f;
    float Pr2 = 0.0f;
    CoolerShellLaw shellLaw = CoolerShellLaw::Power;
    float AlphaShell = 0.0f;
    float dt = 0.0f;         // corrected temperature difference
    float OverallK0 = 0.0f;  // overall coefficient before refinement
    std::vector<CoolerRefinementPass> passes;
    float AlphaTube = 0.0f;
    float OverallK = 0.0f;
    float SurfaceF = 0.0f;
};

// Cooler: liquid in the tubes and in the intertube space. Every Reynolds number gives a result; a
// result that is not a finite number is a failure and sets DataError to -1. DataError is never
// cleared here (callers that run the method again without a validation test ResultsFinite).
// Returns the number of laminar refinement passes made (0 when the tube flow is not laminar).
int CalcCooler(DesignData& data, int refinementLimit = kCoolerRefinementLimit, CoolerTrace* trace = nullptr);

// True when all four results of a calculation are finite numbers.
inline bool ResultsFinite(const DesignData& data) {
    return std::isfinite(data.AlphaTube) && std::isfinite(data.AlphaShell) && std::isfinite(data.OverallK) &&
           std::isfinite(data.SurfaceF);
}

}  // namespace heatx
