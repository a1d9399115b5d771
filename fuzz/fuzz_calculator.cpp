// heatx-calc's argument handling on arbitrary argument lists (arguments separated by NUL bytes):
// no crash, no undefined behaviour, and always one of the documented exit statuses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "calculator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (args.size() > 64 || args[0] == "batch") {
        return 0;  // batch reads files or standard input: its reader has a target of its own
    }
    static const heatx::FixedClock clock({2026, 12, 7, 11, 5, 30});
    std::ostringstream out;
    std::ostringstream err;
    const int status = heatx::cli::RunCalculator(args, out, err, clock);
    switch (status) {
        case heatx::cli::kExitOk:
        case heatx::cli::kExitRange:
        case heatx::cli::kExitMethod:
        case heatx::cli::kExitUsage:
            break;
        default:
            std::abort();
    }
    if (status != heatx::cli::kExitOk && err.str().empty()) {
        std::abort();  // every failure says why
    }
    return 0;
}
