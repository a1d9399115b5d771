#include "ui/number_keys.h"

namespace heatx::ui {

std::string NumberKeysAsLatin(std::string_view text) {
    // In UTF-8: ю D1 8E, Ю D0 AE, б D0 B1, Б D0 91.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 1 < text.size()) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if ((lead == 0xD1 && next == 0x8E) || (lead == 0xD0 && next == 0xAE)) {
                out.push_back('.');
                ++i;
                continue;
            }
            if (lead == 0xD0 && (next == 0xB1 || next == 0x91)) {
                out.push_back(',');
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace heatx::ui
