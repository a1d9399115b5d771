#include <iostream>
#include <string_view>

#include "calculator.h"
#include "heatx_version.h"

int main(int argc, char** argv) {
    heatx::cli::GuardStandardStreams();
    // heatx-calc --version: the version and the licence, before any other reading of the arguments.
    if (argc > 1 && std::string_view(argv[1]) == "--version") {
        std::cout << heatx::VersionText("heatx-calc");
        return heatx::cli::FinishStandardOutput(heatx::cli::kExitOk, std::cerr);
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    heatx::SystemClock clock;
    const int status = heatx::cli::RunCalculator(args, std::cout, std::cerr, clock);
    return heatx::cli::FinishStandardOutput(status, std::cerr);
}
