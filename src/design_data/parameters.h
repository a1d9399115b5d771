// Symbols and units of the parameters of each apparatus kind, by slot of Values: what the command-line
// calculator's help and the calculation protocol show next to the label of a value.
#pragma once

#include <array>
#include <string_view>

namespace heatx {

struct ParameterInfo {
    std::string_view symbol;  // the symbol of the method's formulas
    std::string_view unit;    // SI unit, "—" for a number without dimension
};

// Evaporator slots 0..15 (15: the tube height).
extern const std::array<ParameterInfo, 16> kEvaporatorParameters;
// Heater slots 0..16 (11: the type, no value; 14: the length, or the height of vertical tubes; 16: the
// height label only).
extern const std::array<ParameterInfo, 17> kHeaterParameters;
// Cooler slots 0..17.
extern const std::array<ParameterInfo, 18> kCoolerParameters;

}  // namespace heatx
