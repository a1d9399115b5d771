// The base of every window of the program: a platform window with access to the shared design record
// of the run and to the navigation procedure CloseOtherForms.
#pragma once

#include <array>
#include <string>

#include "design_data/design_data.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/platform.h"
#include "ui/run_context.h"

namespace heatx {

class AppForm : public ui::Form {
  public:
    AppForm(RunContext& run, std::string name) : ui::Form(run.platform, std::move(name)), run_(run) {}

    // The context of the run: the platform and the design record side by side.
    RunContext& Run() const { return run_; }
    // The one design record of the run, shared by every window.
    DesignData& Data() const { return run_.data; }
    // Demonstration mode (RunContext::demonstration).
    bool Demonstration() const { return run_.demonstration; }

    // Unloads the earliest-loaded windows until one remains (the one created last survives).
    void CloseOtherForms() const { Forms().CloseOtherForms(); }

    // Reaches another window, creating it (and running its Form_Load) if it is not loaded.
    template <class T>
    T& Get() const {
        return Forms().Get<T>();
    }

  private:
    RunContext& run_;
};

// Module-level form of the navigation procedure, for the run procedures.
inline void CloseOtherForms(ui::Platform& platform) {
    platform.Forms().CloseOtherForms();
}

}  // namespace heatx
