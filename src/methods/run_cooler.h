// The cooler calculation written on its results window Form13.
#pragma once

#include "ui/platform.h"

namespace heatx {

void RunCooler(ui::Platform& platform);

}  // namespace heatx
