// Reading of typed numbers on arbitrary texts: no crash, no undefined behaviour, and the reading
// agrees with itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "design_data/numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string normal = heatx::NormalizeDecimal(text);
    if (text.empty() ? normal != "0" : normal.size() != text.size()) {
        std::abort();
    }
    const double number = heatx::ReadNumber(normal);
    if (std::isnan(number)) {
        std::abort();  // a typed text never reads as not-a-number
    }
    const float value = heatx::ReadValue(normal);
    if (!(value == heatx::ToSingle(number))) {
        std::abort();
    }
    // Blanks, tabs and line feeds never change the number.
    std::string spaced;
    for (char c : normal) {
        spaced += c;
        spaced += ' ';
    }
    if (heatx::ReadNumber(spaced) != number) {
        std::abort();
    }
    return 0;
}
