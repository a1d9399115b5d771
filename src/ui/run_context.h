// The context of a run: the platform the windows live on and the design record they share, side by
// side. Every window of the program and every run procedure is given it; the platform itself holds
// only platform things (services, windows, units, the end of the run).
#pragma once

#include "design_data/design_data.h"
#include "ui/platform.h"

namespace heatx {

struct RunContext {
    // Serves the platform's windows while it lives: the registry creates each window with it.
    explicit RunContext(ui::Platform& platformOfRun) : platform(platformOfRun) {
        platform.Forms().AttachContext(this);
    }
    // The run's windows refer to the context: they go with it.
    ~RunContext() {
        platform.Forms().DestroyAll();
        platform.Forms().AttachContext(nullptr);
    }
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    ui::Platform& platform;
    // The one design record of the run, shared by every window.
    DesignData data;
    // Demonstration mode: the input boxes of a task offer the reference values as their default
    // texts, so that a teacher can show the whole road by pressing Enter.
    bool demonstration = false;
};

}  // namespace heatx
