// Colours as the windows give them: one number per colour, red in the lowest byte, then green, then
// blue (so green RGB(0, 255, 0) is 65280 and red RGB(255, 0, 0) is 255).
#pragma once

#include <cstdint>

namespace heatx::ui {

using Color = std::uint32_t;

// The colour value of red, green and blue, each 0..255.
constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red & 0xFF) | (static_cast<Color>(green & 0xFF) << 8) |
           (static_cast<Color>(blue & 0xFF) << 16);
}

constexpr int RedOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

}  // namespace heatx::ui
