// heatx-calc: the thermal design of one apparatus from the command line, reading every value text
// exactly as the program reads typed text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "reports/clock.h"

namespace heatx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRange = 2;   // a value out of its range
inline constexpr int kExitMethod = 3;  // the method cannot give a result for these data
inline constexpr int kExitUsage = 64;  // wrong usage

// args excludes the program name.
int RunCalculator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Clock& clock);

}  // namespace heatx::cli
