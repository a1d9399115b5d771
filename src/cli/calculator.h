// heatx-calc: the thermal design of one apparatus from the command line, reading every value text
// exactly as the program reads typed text; a table of variants in one run (batch), the header row and
// reference data to start such a table (template), the calculation protocol, and the help of each kind.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "reports/clock.h"

namespace heatx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRange = 2;     // a value out of its range
inline constexpr int kExitMethod = 3;    // the method cannot give a (finite) result for these data
inline constexpr int kExitUsage = 64;    // wrong usage
inline constexpr int kExitData = 65;     // some row of a variants table could not be read
inline constexpr int kExitNoInput = 66;  // the variants table cannot be opened
inline constexpr int kExitOutput = 74;   // the output could not be written

// args excludes the program name.
int RunCalculator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Clock& clock);

// Before anything is written: a closed standard stream gets a descriptor on which every write fails,
// so that no file opened later takes its number and a closed standard output is noticed.
void GuardStandardStreams();

// After the run: flushes and closes standard output; a failed write or close is reported on `err`
// and turns the exit status into kExitOutput.
int FinishStandardOutput(int status, std::ostream& err);

}  // namespace heatx::cli
