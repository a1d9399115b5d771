// The texts of the results screens: the heading over the results, the results lines laid out in
// fixed-width columns, the tube-height caption and the Reynolds-number captions. Lines of a label
// are separated by a carriage return.
#pragma once

#include <string>
#include <string_view>

#include "design_data/design_data.h"

namespace heatx {

// Fixed caption over the cooler's Reynolds line.
inline constexpr std::string_view kCoolerReynoldsHeading = "ЧИСЛО RE В ТР.    ЧИСЛО RE В МТР.ПР-ВЕ";

// One column of a results line: the value with two (or `decimals`) decimals right-aligned in
// `fieldWidth`, then blanks up to `columnWidth` characters.
std::string ResultColumn(float value, int fieldWidth, int decimals, int columnWidth);

// The five heading lines of the evaporator results, each followed by a carriage return, so that the
// results line appended to it stands on the sixth line.
std::string EvaporatorResultsHeading();

// The evaporator results line of the first run after the tube-height dialog.
std::string EvaporatorResultsLine(const DesignData& data);

// The evaporator results line after a change of the tube height: the second and later columns start
// further right than on the first run.
std::string EvaporatorResultsLineAfterHeightChange(const DesignData& data);

// Heading and results line together, as the evaporator results screen shows them.
std::string EvaporatorResultsCaption(const DesignData& data, bool afterHeightChange);

// "  ВЫСОТА ТРУБ " + the height text as entered + " М".
std::string TubeHeightCaption(std::string_view heightText);

// The five-line head over the results of the heater and cooler screens (no carriage return after
// the last line).
std::string ResultsTableHead();

// The heater results line: the two heat-transfer coefficients, the overall coefficient, the surface.
std::string HeaterResultsLine(const DesignData& data);

// The red line shown instead of the heater results when the flow in the tubes is laminar.
std::string HeaterLaminarLine(const DesignData& data);

// The Reynolds number in the tubes under its two-line caption on the heater screen.
std::string HeaterReynoldsCaption(const DesignData& data);

// The cooler results line: the two heat-transfer coefficients, the overall coefficient, the surface.
std::string CoolerResultsLine(const DesignData& data);

// The cooler's Reynolds numbers in the tubes and in the intertube space.
std::string CoolerReynoldsLine(const DesignData& data);

}  // namespace heatx
