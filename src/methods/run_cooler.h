// The cooler calculation written on its results window Form13.
#pragma once

#include "ui/run_context.h"

namespace heatx {

void RunCooler(RunContext& run);

}  // namespace heatx
