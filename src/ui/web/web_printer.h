// The reports in the browser, kept by the report keeper (reports/report_keeper.h) as on the desktop: a
// task's report is one document, begun at its first print press and ended when the task is left or the
// run ends; every printed text is journalled at once in the browser's storage for the page; the document
// ended is "sent to the printer" by showing it as it prints (A4 sheets in the report's face, runtime.js)
// and opening the browser's print dialog, after which its journal is removed. A journal left by a tab
// closed, reloaded or crashed in the middle of a report is shown for printing at the next opening of the
// page, with a notice of what it is (the apparatus, the student, the date and time).
//
// Journals live in the page's localStorage (written at once, read back whole): each page load holds a
// Web Lock named after it for as long as it is open, so that one tab never recovers a report another
// open tab still writes. Storage the browser refuses (private browsing, no room) is told once; the
// report then still prints, only unprotected.
#pragma once

#include <memory>
#include <string>

#include "reports/journal.h"
#include "reports/report_keeper.h"

namespace heatx::ui {
class Platform;
}

namespace heatx::ui::web {

class WebToolkit;

// Journals in the browser's storage (localStorage), one entry per journal.
class BrowserJournalStore : public heatx::JournalStore {
  public:
    // Whether the page may keep data at all (private browsing refuses, or the page's storage is off).
    static bool Available();

    std::size_t Places() const override { return 1; }
    std::unique_ptr<heatx::JournalHandle> Create(std::size_t firstPlace, std::size_t& place,
                                                 std::string& reason) override;
    std::vector<std::string> Journals() override;
    std::unique_ptr<heatx::JournalHandle> Claim(const std::string& name, std::size_t limit,
                                                std::string& bytes, bool& whole) override;
};

// The browser as the keeper's printer: the print view, and the browser's print dialog.
class BrowserReportOutput : public heatx::ReportOutput {
  public:
    static const char* const kPrinterName;

    bool Draw(const heatx::ReportDocument& document, std::string& pages) override;
    std::string DefaultPrinter() override { return kPrinterName; }
    bool PrinterAccepts(const std::string& printer, std::string& reason) override;
    bool SendToPrinter(const std::string& printer, const std::string& title, std::string_view pages,
                       std::string& reason) override;
    // A recovered report goes to "the documents folder": it is shown for printing too.
    std::string DocumentsFolder() override { return "browser"; }
    std::string FolderProblem(const std::string& folder, bool create) override;
    std::string FreeName(const std::string& base) override { return base; }
    bool WriteFile(const std::string& base, std::string_view pages, const heatx::BeforeNaming& beforeNaming,
                   std::string& finalPath, std::string& reason) override;
    bool FileHolds(const std::string& path, const heatx::ContentPrint& print) override;
    const char* RecoveredInto() const override { return "открыты для печати:"; }
};

class WebReportPrinter : public heatx::ReportKeeper {
  public:
    // The notice of a document's first press, in the student's words.
    static const char* const kNoticeTitle;
    static const char* const kNoticeText;
    static const char* const kNoStorageText;

    WebReportPrinter(const heatx::Clock& clock, BrowserReportOutput& output, heatx::JournalStore* journals);

    // Notices reach the student through the platform's boxes; the journals of tabs that ended with a
    // report open are recovered as a handler of its own once the start screen is up.
    void Connect(Platform& platform, WebToolkit& toolkit);

    void Print(std::string_view text, bool endLine = true) override;
    void EndOfPress() override;
    void EndDoc() override;

  private:
    Platform* platform_ = nullptr;
    bool toldFirstPress_ = false;
    bool toldNoStorage_ = false;
    bool storage_ = true;
};

}  // namespace heatx::ui::web
