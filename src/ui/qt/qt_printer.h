// The report's pages drawn with Qt and delivered: painted into a PDF (A4, "Courier New Cyr" 9 pt mapped
// to a metric-compatible fixed-pitch Cyrillic face), sent to the system's default printer through the
// print system, or written as a file (the desktop's files, reports/report_files.h).
//
// Lines are painted one after another in the font each text was printed in, a new page whenever the
// next line does not fit; a line wider than the page continues on the next line at its own left margin,
// and the font is never made smaller.
//
// Everything else of a report's life (the document, the journal, where it goes and the fall-backs, the
// notices) is the report keeper's (reports/report_keeper.h).
#pragma once

#include <string>
#include <string_view>

#include "reports/report_keeper.h"

namespace heatx::ui {

class Platform;

class QtReportOutput : public heatx::FileReportOutput {
  public:
    // The folder of the files named after the time; empty: the user's documents folder.
    explicit QtReportOutput(const std::string& documentsFolder = std::string());

    bool Draw(const heatx::ReportDocument& document, std::string& pages) override;
    std::string DefaultPrinter() override;
    bool PrinterAccepts(const std::string& printer, std::string& reason) override;
    bool SendToPrinter(const std::string& printer, const std::string& title, std::string_view pages,
                       std::string& reason) override;
};

// The keeper's notices shown to the student through the platform's one-button notice box, as long as the
// run has not ended.
void ConnectReportNotices(heatx::ReportKeeper& keeper, Platform& platform);

}  // namespace heatx::ui
