// The heater or dephlegmator calculation written on its results window Form9.
#pragma once

#include "ui/platform.h"

namespace heatx {

void RunHeater(ui::Platform& platform);

}  // namespace heatx
