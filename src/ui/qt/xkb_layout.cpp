#include "ui/qt/xkb_layout.h"

#ifdef HEATX_WITH_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

#include <cstdlib>
#include <vector>

namespace heatx::ui {

std::optional<int> XkbGroupOf(const std::string& symbols, XkbLayout layout) {
    // Layout parts of the symbols name: "us", "ru:2", "us(intl):3"; the model ("pc") and options
    // ("inet(evdev)", "group(alt_shift_toggle)") are not layouts.
    std::vector<std::pair<std::string, int>> groups;
    std::size_t start = 0;
    int ordinal = 0;
    while (start <= symbols.size()) {
        std::size_t end = symbols.find('+', start);
        if (end == std::string::npos) {
            end = symbols.size();
        }
        const std::string part = symbols.substr(start, end - start);
        start = end + 1;
        std::string name = part.substr(0, part.find_first_of("(:"));
        if (name.empty() || name == "pc" || name == "inet" || name == "group" || name == "level3" ||
            name == "ctrl" || name == "compose" || name == "altwin" || name == "capslock" ||
            name == "keypad" || name == "srvr_ctrl" || name == "terminate" || name == "evdev" ||
            name == "aliases") {
            continue;
        }
        const std::size_t colon = part.find(':');
        int group = ordinal;
        if (colon != std::string::npos) {
            group = std::atoi(part.c_str() + colon + 1) - 1;
        }
        ++ordinal;
        if (group >= 0 && group < 4) {
            groups.emplace_back(name, group);
        }
    }
    if (layout == XkbLayout::Russian) {
        for (const auto& [name, group] : groups) {
            if (name == "ru") {
                return group;
            }
        }
        return std::nullopt;
    }
    for (const char* latin : {"us", "gb", "de", "fr", "it", "es", "pl"}) {
        for (const auto& [name, group] : groups) {
            if (name == latin) {
                return group;
            }
        }
    }
    return std::nullopt;
}

bool LockXkbGroup(_XDisplay* display, XkbLayout layout) {
#ifdef HEATX_WITH_XKB
    if (display == nullptr) {
        return false;
    }
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (keyboard == nullptr) {
        return false;
    }
    std::string symbols;
    if (XkbGetNames(display, XkbSymbolsNameMask, keyboard) == Success && keyboard->names != nullptr &&
        keyboard->names->symbols != None) {
        if (char* name = XGetAtomName(display, keyboard->names->symbols)) {
            symbols = name;
            XFree(name);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    const std::optional<int> group = XkbGroupOf(symbols, layout);
    if (!group) {
        return false;
    }
    XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned int>(*group));
    XFlush(display);
    return true;
#else
    (void)display;
    (void)layout;
    return false;
#endif
}

}  // namespace heatx::ui
