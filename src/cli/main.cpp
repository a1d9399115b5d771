#include <iostream>

#include "calculator.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    heatx::SystemClock clock;
    return heatx::cli::RunCalculator(args, std::cout, std::cerr, clock);
}
