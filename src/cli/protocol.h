// The calculation protocol of one variant: every named value of the method in the order of its steps,
// with its symbol, meaning, value (as stored, nine significant digits) and unit, so that a hand
// calculation can be checked step by step. The values come from the recorders the methods fill while
// they compute; nothing is computed here.
#pragma once

#include <string>

#include "design_data/design_data.h"
#include "methods/calc.h"

namespace heatx::cli {

// Each appends the protocol to `out`. `data` holds the source values and, after a successful call, the
// results; the protocol of a failed calculation ends where the method stopped, with its reason.
void AppendEvaporatorProtocol(std::string& out, const DesignData& data, const EvaporatorTrace& trace);
void AppendHeaterProtocol(std::string& out, const DesignData& data, const HeaterTrace& trace);
void AppendCoolerProtocol(std::string& out, const DesignData& data, const CoolerTrace& trace);

}  // namespace heatx::cli
