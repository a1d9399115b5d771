// Range validation of the source data of each apparatus kind. Each procedure sets DataError and
// returns the index of the first faulty parameter (0 when none failed; callers decide by DataError).
#pragma once

#include <cstdint>

#include "design_data/design_data.h"

namespace heatx {

std::uint8_t ValidateEvaporatorData(DesignData& data);
std::uint8_t ValidateHeaterData(DesignData& data);
std::uint8_t ValidateCoolerData(DesignData& data);

// Inclusive test of one value: the lower bound compared in double precision (the single value
// widened exactly), the upper bound in single precision. A value that is not a number fails.
bool PassesInclusive(float value, double lower, float upper);
// Strict test: the lower bound itself is excluded.
bool PassesStrict(float value, double lower, float upper);

// Bounds of a construction value.
struct ConstructionBounds {
    double lower;
    float upper;
};

// Cooler construction asked after its source data are accepted (slots 13..17): lower bounds held in
// double precision, upper bounds in single.
bool CoolerConstructionAccepted(int slot, float value);
ConstructionBounds CoolerConstructionBounds(int slot);

// Construction corrected on the results screens: both bounds are single-precision numbers, inclusive.
// Heater slots 12..15, cooler slots 13..17.
struct SingleBounds {
    float lower;
    float upper;
};
SingleBounds HeaterCorrectionBounds(int slot);
SingleBounds CoolerCorrectionBounds(int slot);
bool WithinSingleBounds(float value, SingleBounds bounds);

// The evaporator's tube height: 1 to 10 m, both included.
bool TubeHeightAccepted(float height);

}  // namespace heatx
