// A probe for the startup benchmark: with HEATX_STARTUP_PROBE set in the environment, the first
// painted window writes the moment of that paint (CLOCK_MONOTONIC, nanoseconds) and the resident
// memory (kB) to standard error as "first-paint-ns N rss-kb M", and the process ends.
#pragma once

namespace heatx::ui {

// Called after a window has painted itself; does nothing unless the probe is asked for.
void NoteWindowPainted();

}  // namespace heatx::ui
