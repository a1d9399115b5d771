// The keyboard layout switch on X11: the session's XKB groups are read from the keyboard's symbols
// ("pc+us+ru:2+inet(evdev)": one layout per group) and the group of the layout asked for is locked.
// A session that lacks the layout is left as it is: nothing is added to its keyboard.
#pragma once

#include <optional>
#include <string>

struct _XDisplay;

namespace heatx::ui {

enum class XkbLayout { Russian, Latin };

// The group (0-based) of the layout in an XKB symbols name, or nothing when the session lacks it.
// Latin is "us", else the first Latin-script layout among a few common ones.
std::optional<int> XkbGroupOf(const std::string& symbols, XkbLayout layout);

// Locks the group of the layout on the display's core keyboard; false when the session lacks it.
bool LockXkbGroup(_XDisplay* display, XkbLayout layout);

}  // namespace heatx::ui
