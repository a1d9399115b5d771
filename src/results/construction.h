// Construction values entered and corrected on the heater and cooler results windows.
#pragma once

#include <functional>
#include <string>

#include "ui/platform.h"
#include "ui/run_context.h"

namespace heatx {

// The Yes/No error question of a refused construction value; returns 6 (Yes) or 7 (No).
int ContinueQuestion(ui::Platform& platform);

// Asks one construction value until it lies within [lower, upper] (single precision, inclusive).
// Every answer is stored in valueText (normalised) and Values[slot]. On a refused value: beep and
// ContinueQuestion; No runs closingAction and ends the program, Yes asks again.
void ReadBoundedValue(RunContext& run, int slot, std::string& valueText, const std::string& prompt,
                      const std::string& title, int xTwips, int yTwips, float lower, float upper,
                      const std::function<void()>& closingAction, const std::string& defaultText = "");

}  // namespace heatx
