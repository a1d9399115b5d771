// The reports in the browser, for now: a plain stand-in that loses nothing. The printer keeps every line
// it is given; when a document ends (the task left, or the run ended) the page shows its lines as a
// print view the student prints with the browser ("Печать"), and keeps it until the student closes it.
// While a document is open the page asks before it is closed or reloaded, which would lose it.
#pragma once

#include "reports/printer.h"

namespace heatx::ui::web {

class WebReportPrinter : public heatx::RecordingPrinter {
  public:
    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;
};

}  // namespace heatx::ui::web
