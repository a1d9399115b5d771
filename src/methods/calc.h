// The thermal calculations of the three apparatus kinds. Each reads Values (and HorizontalTubes) of
// the shared design record and writes the results and DataError. Every named intermediate is stored
// in single precision; the expression of one step is evaluated in double precision.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "design_data/design_data.h"

namespace heatx {

// The root search of the evaporator gives up after this many iterations (it converges in a handful).
inline constexpr int kEvaporatorIterationLimit = 200;
// The cooler's laminar refinement stops after this many repetitions and keeps its last value.
inline constexpr int kCoolerRefinementLimit = 100;

// Working values of one evaporator calculation, for tracing the iteration.
struct EvaporatorTrace {
    float B = 0.0f;    // boiling factor
    float A = 0.0f;    // condensation factor
    float qcr = 0.0f;  // critical heat flux, W/m2
    float yStart = 0.0f;
    std::vector<std::pair<float, float>> points;  // (x, y) after each iteration
    float m = 0.0f;                               // mean point
    float q = 0.0f;                               // heat flux, W/m2
};

// Evaporator: boiling in vertical tubes of height Values[15], steam condensing outside. Clears
// DataError when it starts; on failure (the root search leaves its bracket, does not converge, or the
// result is not a finite number) it beeps and sets DataError to -1.
void CalcEvaporator(DesignData& data, const std::function<void()>& beep = {},
                    EvaporatorTrace* trace = nullptr, int iterationLimit = kEvaporatorIterationLimit);

// Heater or dephlegmator: steam condensing on horizontal or vertical tubes, liquid in the tubes.
// Sets DataError to -1 (and writes only ReTube) when the tube flow is not turbulent enough.
void CalcHeater(DesignData& data);

// Cooler: liquid in the tubes and in the intertube space. Always gives a result. Returns the number
// of laminar refinement passes made (0 when the tube flow is not laminar).
int CalcCooler(DesignData& data, int refinementLimit = kCoolerRefinementLimit);

}  // namespace heatx
