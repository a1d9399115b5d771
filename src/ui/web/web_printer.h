// The reports in the browser, for now: a plain stand-in that loses nothing. The printer keeps every line
// it is given; when a document ends (the task left, or the run ended) the page shows its lines as a
// print view the student prints with the browser ("Печать"), and keeps it until the student closes it.
#pragma once

#include "reports/printer.h"

namespace heatx::ui::web {

class WebReportPrinter : public heatx::RecordingPrinter {
  public:
    void EndDoc() override;
};

}  // namespace heatx::ui::web
