// The first paint of the program. With HEATX_STARTUP_PROBE set in the environment (the startup
// benchmark), the first painted window writes the moment of that paint (CLOCK_MONOTONIC, nanoseconds),
// the resident memory (kB) and the processor time to standard error as
// "first-paint-ns N rss-kb M cpu-ns C", and the process ends. Work the start screen does not need
// waits for that paint, so that it does not delay the first picture.
#pragma once

#include <functional>

namespace heatx::ui {

// Called after a window has painted itself.
void NoteWindowPainted();

// Runs the work from the event loop once the first window has been painted (at once, from the event
// loop, when one already has).
void AfterFirstPaint(std::function<void()> work);

}  // namespace heatx::ui
