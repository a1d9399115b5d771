// The reports in the browser. The document model is the desktop's: a task's report is one document,
// begun at its first print press and ended when the task is left or the run ends. The printer keeps
// every line it is given; at the first print press of a document the student is told, once, that the
// report opens for printing when he leaves the task or ends the run; when the document ends the page
// shows it as it prints (A4 sheets in the report's face, runtime.js) and opens the browser's print
// dialog. While a document is open the page asks before it is closed or reloaded.
#pragma once

#include "reports/printer.h"

namespace heatx::ui {
class Platform;
}

namespace heatx::ui::web {

class WebToolkit;

class WebReportPrinter : public heatx::RecordingPrinter {
  public:
    // The notice of a document's first press, in the student's words.
    static const char* const kNoticeTitle;
    static const char* const kNoticeText;

    // Notices reach the student through the platform's boxes, as a handler of their own that runs
    // after the print press (the page's event queue).
    void Connect(Platform& platform, WebToolkit& toolkit);

    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;

  private:
    bool connected_ = false;
};

}  // namespace heatx::ui::web
