#include "ui/web/web_printer.h"

#include <emscripten.h>

#include <string>

#include "ui/platform.h"
#include "ui/web/web_toolkit.h"

namespace heatx::ui::web {

namespace {

// The page's event that ends a document's first print press (runtime.js, reportBegun).
constexpr int kReportBegunEvent = -1;

}  // namespace

// clang-format off
EM_JS(void, hx_show_report, (const char* title, const char* text), {
    heatx.showReport(UTF8ToString(title), UTF8ToString(text).split("\n"));
});
EM_JS(void, hx_document_open, (int open), { heatx.setDocumentOpen(!!open); });
EM_JS(void, hx_report_begun, (), { heatx.reportBegun(); });
// clang-format on

const char* const WebReportPrinter::kNoticeTitle = "ОТЧЁТ";
const char* const WebReportPrinter::kNoticeText =
    "Отчёт откроется для печати, когда вы закончите расчёт этого теплообменника или работу с программой.";

void WebReportPrinter::Connect(Platform& platform, WebToolkit& toolkit) {
    connected_ = true;
    toolkit.RegisterCallback(kReportBegunEvent, [&platform](int) {
        platform.Guard([&platform] {
            if (!platform.Ended()) {
                platform.Notice(kNoticeText, kNoticeTitle);
            }
        });
    });
}

void WebReportPrinter::Print(std::string_view text, bool endLine) {
    const bool wasOpen = HasOpenDocument();
    RecordingPrinter::Print(text, endLine);
    if (!wasOpen && HasOpenDocument()) {
        hx_document_open(1);
        if (connected_) {
            hx_report_begun();
        }
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
