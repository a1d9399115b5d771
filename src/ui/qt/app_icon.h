// The program's icon on every window, and the name of its desktop entry (through which desktops that
// group windows by program find the icon and the name in the menu).
#pragma once

namespace heatx::ui {

// The icon drawn from the program's own SVG (built into the program, so that it is the same with or
// without an installed icon theme) is set for every window of the application. The name of the
// desktop entry is set with the rest of the application (ConfigureApplication).
void InstallApplicationIcon();

}  // namespace heatx::ui
