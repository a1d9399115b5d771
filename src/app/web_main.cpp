// heatx in the browser: the same start as the desktop program (the start screen, then every window
// and run procedure of the desktop), on the web platform (ui/web). Opened as heatx.html; heatx.html?demo
// is the demonstration mode (the input boxes offer the reference values).
//
// main only starts the run: the page's events run the handlers afterwards, so everything the run needs
// lives on after main has returned.
#include <emscripten.h>

#include <memory>

#include "navigation/start_forms.h"
#include "reports/clock.h"
#include "ui/platform.h"
#include "ui/run_context.h"
#include "ui/web/web_printer.h"
#include "ui/web/web_services.h"
#include "ui/web/web_toolkit.h"

namespace {

// clang-format off
EM_JS(int, hx_demonstration_asked, (), {
    if (typeof location !== "object") {
        return 0;
    }
    var parts = location.search.slice(1).split("&");
    return parts.some(function (part) { return part === "demo" || part.indexOf("demo=") === 0; }) ? 1 : 0;
});
// clang-format on

// Everything of one run, in the order it is built (and would be torn down).
struct WebRun {
    heatx::ui::web::WebToolkit toolkit;
    heatx::ui::web::WebDialogs dialogs{toolkit};
    heatx::ui::web::WebSound sound;
    heatx::ui::web::WebKeyboardLayout keyboard;
    heatx::SystemClock clock;
    // The journals in the browser's storage, when the browser allows the page to keep any.
    std::unique_ptr<heatx::ui::web::BrowserJournalStore> journals =
        heatx::ui::web::BrowserJournalStore::Available()
            ? std::make_unique<heatx::ui::web::BrowserJournalStore>()
            : nullptr;
    heatx::ui::web::BrowserReportOutput output;
    heatx::ui::web::WebReportPrinter printer{clock, output, journals.get()};
    heatx::ui::Platform platform{toolkit, dialogs, sound, keyboard, clock, printer};
    heatx::RunContext context{platform};
};

}  // namespace

int main() {
    // Lives as long as the page: the run goes on in the page's events after main returns.
    auto* run = new WebRun;
    run->context.demonstration = hx_demonstration_asked() != 0;
    run->printer.Connect(run->platform, run->toolkit);
    heatx::ui::Platform& platform = run->platform;
    // The run begins with the start screen and nothing else.
    platform.Guard([&platform] { platform.Forms().Get<heatx::Form1>().Show(); });
    run->toolkit.Settle();
    return 0;
}
