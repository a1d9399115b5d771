// The step from the evaporator's accepted source data to its results window.
#pragma once

#include "ui/run_context.h"

namespace heatx {

// Validates the evaporator data; faulty data are presented on Form10 with the error dialog Form8,
// valid data lead to the tube height, the calculation and the results on Form11.
void RunEvaporator(RunContext& run);

// Asks the tube height until it lies within 1..10 m; No ends the program.
void TubeHeightDialog(RunContext& run);

// After a failed calculation: the beep and the error question; No closes the windows and ends the
// program, Yes returns.
void EvaporatorFailureQuestion(RunContext& run);

}  // namespace heatx
