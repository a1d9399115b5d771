#include "ui/web/web_printer.h"

#include <emscripten.h>

#include <string>

namespace heatx::ui::web {

// clang-format off
EM_JS(void, hx_show_report, (const char* title, const char* text), {
    heatx.showReport(UTF8ToString(title), UTF8ToString(text).split("\n"));
});
EM_JS(void, hx_document_open, (int open), { heatx.setDocumentOpen(!!open); });
// clang-format on

void WebReportPrinter::Print(std::string_view text, bool endLine) {
    const bool wasOpen = HasOpenDocument();
    RecordingPrinter::Print(text, endLine);
    if (!wasOpen && HasOpenDocument()) {
        hx_document_open(1);
    }
}

void WebReportPrinter::EndDoc() {
    const bool open = HasOpenDocument();
    const std::string title = JobTitle();
    RecordingPrinter::EndDoc();
    hx_document_open(0);
    if (!open || Documents().empty()) {
        return;
    }
    std::string text;
    bool first = true;
    for (const std::string& line : Documents().back()) {
        if (!first) {
            text += '\n';
        }
        text += line;
        first = false;
    }
    hx_show_report(title.c_str(), text.c_str());
}

}  // namespace heatx::ui::web
