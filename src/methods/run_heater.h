// The heater or dephlegmator calculation written on its results window Form9.
#pragma once

#include "ui/run_context.h"

namespace heatx {

void RunHeater(RunContext& run);

}  // namespace heatx
