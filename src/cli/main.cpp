#include <iostream>

#include "calculator.h"

int main(int argc, char** argv) {
    heatx::cli::GuardStandardStreams();
    std::vector<std::string> args(argv + 1, argv + argc);
    heatx::SystemClock clock;
    const int status = heatx::cli::RunCalculator(args, std::cout, std::cerr, clock);
    return heatx::cli::FinishStandardOutput(status, std::cerr);
}
