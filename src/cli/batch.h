// heatx-calc batch: a table of variants, one per row, computed in one run; and heatx-calc template:
// the header row and the reference data of a kind, to start such a table from.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "reports/clock.h"

namespace heatx::cli {

// args: the arguments after "batch". Reads FILE (or standard input for "-"), writes the result table
// to `out` or to --output FILE.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Clock& clock);

// args: the arguments after "template".
int RunTemplate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace heatx::cli
