// The report keeper as the program sets it up on the desktop, for the window tests: the Qt output (PDF
// files, the print system) beneath it and a journal folder of the test's own.
#pragma once

#include <string>
#include <vector>

#include "reports/clock.h"
#include "reports/journal.h"
#include "reports/report_keeper.h"
#include "ui/qt/qt_printer.h"

namespace heatx::ui::testing {

struct QtPrinterOptions {
    std::string pdfFile;          // --print-to; empty: the printer or the documents folder
    std::string documentsFolder;  // empty: the user's documents folder
    bool useSystemPrinter = true;
    std::string journalFolder;  // empty: no journal
};

struct QtReportParts {
    explicit QtReportParts(const QtPrinterOptions& options)
        : output(options.documentsFolder),
          journals(options.journalFolder.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{options.journalFolder}) {}
    QtReportOutput output;
    heatx::FolderJournalStore journals;
};

class QtReportPrinter : private QtReportParts, public heatx::ReportKeeper {
  public:
    QtReportPrinter(const heatx::Clock& clock, const QtPrinterOptions& options)
        : QtReportParts(options),
          heatx::ReportKeeper(clock, output, options.journalFolder.empty() ? nullptr : &journals,
                              heatx::ReportKeeperOptions{options.pdfFile, options.useSystemPrinter}) {}
    std::string JournalPath() const { return JournalName(); }
};

// What the program does at its start: the journals of dead runs become reports; returns the files.
inline std::vector<std::string> RecoverReportJournals(const heatx::Clock& clock,
                                                      const QtPrinterOptions& options,
                                                      const heatx::ReportKeeper::NoticeHandler& notice) {
    QtReportPrinter keeper(clock, options);
    keeper.OnNotice(notice);
    return keeper.Recover();
}

}  // namespace heatx::ui::testing
