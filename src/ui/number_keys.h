// Numbers typed on the Russian keyboard layout. The Latin layout's period and comma keys give "ю"
// and "б" (with Shift "Ю" and "Б") on the Russian one, so that "0.683" typed by a student who is still
// on the Russian layout arrives as "0ю683", which reads as 0: a wrong value from a correct
// keystroke. A box that takes a number reads those four characters as the period and comma the
// student meant. Free of any toolkit: every edition's input boxes use it.
#pragma once

#include <string>
#include <string_view>

namespace heatx::ui {

// The text with "ю" and "Ю" replaced by "." and "б" and "Б" by ","; everything else unchanged
// (UTF-8 in and out).
std::string NumberKeysAsLatin(std::string_view text);

}  // namespace heatx::ui
