// The calculation protocol of one variant: every named value of the method in the order of its steps,
// with its symbol, meaning, value and unit, so that a hand calculation can be checked step by step.
// The source values are shown as typed, the method's values as the recorders kept them while the
// method computed (nine significant digits), all with a decimal comma as in the formulas. A few values
// a hand calculation shows but the method never keeps (Prandtl and Nusselt numbers, the heat load, the
// flow velocity) are computed from the stored values and marked as derived.
#pragma once

#include <string>

#include "design_data/design_data.h"
#include "methods/calc.h"
#include "variant.h"

namespace heatx::cli {

// Each appends the protocol to `out`. `data` holds the source values and, after a successful call, the
// results; the protocol of a failed calculation ends where the method stopped, with its reason.
void AppendEvaporatorProtocol(std::string& out, const DesignData& data, const EvaporatorTrace& trace);
void AppendHeaterProtocol(std::string& out, const DesignData& data, const HeaterTrace& trace);
void AppendCoolerProtocol(std::string& out, const DesignData& data, const CoolerTrace& trace);
// The protocol of the kind's method, from the recorder of that kind (which must be set).
void AppendProtocol(std::string& out, Kind kind, const DesignData& data, const Recorders& traces);

}  // namespace heatx::cli
