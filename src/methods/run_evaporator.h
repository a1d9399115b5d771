// The step from the evaporator's accepted source data to its results window.
#pragma once

#include "ui/platform.h"

namespace heatx {

// Validates the evaporator data; faulty data are presented on Form10 with the error dialog Form8,
// valid data lead to the tube height, the calculation and the results on Form11.
void RunEvaporator(ui::Platform& platform);

// Asks the tube height until it lies within 1..10 m; No ends the program.
void TubeHeightDialog(ui::Platform& platform);

// After a failed calculation: the beep and the error question; No closes the windows and ends the
// program, Yes returns.
void EvaporatorFailureQuestion(ui::Platform& platform);

}  // namespace heatx
