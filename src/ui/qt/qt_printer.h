// The real printer of the program: the report of a task, printed with Qt on the system's default
// printer or written to a PDF file.
//
// One document per task: it begins with the first Print after an EndDoc (or after the start) and is
// released by EndDoc. Its lines are kept in memory until then and painted at EndDoc, one line after
// another in the font set when the line was begun, a new page whenever the next line does not fit.
// A line wider than the page continues on the next line at its own left margin; the font is never
// made smaller. "Courier New Cyr" (the report font) is mapped to a metric-compatible fixed-pitch
// Cyrillic font.
//
// Where a document goes is decided at its first line: a PDF file when one was named (the program's
// --print-to option); otherwise the system's default printer when it exists and accepts jobs;
// otherwise a PDF file heatx-report-YYYYMMDD-HHMMSS.pdf in the user's documents folder. A named file
// in a missing or unwritable folder falls back to the documents folder too. No report overwrites a
// file: an existing name gets the next free "-2", "-3"... before the extension.
//
// Nothing printed is lost:
// - every printed text goes at once to a journal file (when a journal folder is given), flushed to the
//   disk when the print press ends and removed when the report is saved; a journal left by a run that
//   died is rendered at the next start (RecoverReportJournals);
// - a PDF is written whole to a temporary file in the target folder, checked, flushed and only then
//   given its name; a failed write leaves nothing behind and the report goes to the documents folder;
// - a job the printer does not take goes to a PDF file instead.
// The student is told, through the notice handler, where a report is going when it goes to a file
// (once, at the end of the document's first print press), and whenever it went elsewhere than he was
// told or could not be saved. Standard error gets the destination of every report.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reports/clock.h"
#include "reports/journal.h"
#include "reports/printer.h"

class QByteArray;

namespace heatx::ui {

class Platform;

struct QtPrinterOptions {
    // PDF file of the reports (--print-to). Empty: the system printer or the documents folder.
    std::string pdfFile;
    // Folder of the PDF files named after the time; empty: the user's documents folder.
    std::string documentsFolder;
    // Whether the system's default printer is tried before a PDF file.
    bool useSystemPrinter = true;
    // Folder of the journal of the open report; empty: no journal.
    std::string journalFolder;
};

class QtReportPrinter : public heatx::Printer {
  public:
    // Text and title of a notice for the student.
    using NoticeHandler = std::function<void(const std::string& text, const std::string& title)>;

    // The clock names the PDF files written to the documents folder.
    explicit QtReportPrinter(const heatx::Clock& clock, QtPrinterOptions options = {});
    // A document still open is released.
    ~QtReportPrinter() override;
    QtReportPrinter(const QtReportPrinter&) = delete;
    QtReportPrinter& operator=(const QtReportPrinter&) = delete;

    void SetFontName(std::string_view name) override;
    void SetFontSize(float points) override;
    void SetJobTitle(std::string_view title) override;
    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;
    bool HasOpenDocument() const override { return open_; }

    // Receives the notices for the student (see above). Without a handler only standard error is told.
    void OnNotice(NoticeHandler handler) { notice_ = std::move(handler); }

    // How code that the event loop starts by itself (the end of a press) is run: the program runs it
    // as a guarded handler, so that the end of the run during a notice unwinds it.
    void RunOutsideHandlers(std::function<void(const std::function<void()>&)> runner) {
        outsideHandler_ = std::move(runner);
    }

    // The end of a print press: the journal reaches the disk and the first press of a document going to
    // a file tells where. Runs by itself when the event loop resumes after the press.
    void EndOfPress();

    // Where the open document is going: the PDF file, or empty while none is open or it goes to the
    // printer.
    const std::string& PlannedFile() const { return plan_.path; }
    // Where the last ended document went: the PDF file, or the name of the system printer; empty when
    // it could not be saved.
    const std::string& LastDestination() const { return lastDestination_; }
    bool LastWentToPrinter() const { return lastToPrinter_; }
    // Number of documents ended so far (printed or not).
    int DocumentCount() const { return documents_; }
    // The journal file of the open document; empty without one.
    std::string JournalPath() const { return journal_.Path(); }

    // Titles of the notices.
    static const char* const kNoticeTitle;
    static const char* const kFailureTitle;

  private:
    struct Segment {
        std::string text;
        std::string fontName;
        float fontSize;
    };
    using Line = std::vector<Segment>;

    // Where a document goes, decided at its first line.
    struct Plan {
        bool toPrinter = false;
        std::string printerName;
        std::string base;    // the file asked for: the named file or the time-stamped name
        std::string path;    // the first free name for it, told to the student
        std::string reason;  // why it does not go where it would normally go
        bool announced = false;
    };

    void BeginDocument();
    // A file in the documents folder named after the time; false (with the reason) when the folder
    // cannot be made.
    bool PlanDocumentsFile(Plan& plan, std::string& reason);
    // Saves the painted report at the plan's file (falling back to the documents folder); true when
    // saved, with the path in saved.
    bool SaveToFile(const QByteArray& pdf, std::string& saved, std::string& reason);
    void Tell(const std::string& text, const std::string& title);

    const heatx::Clock& clock_;
    QtPrinterOptions options_;
    NoticeHandler notice_;
    std::function<void(const std::function<void()>&)> outsideHandler_;
    std::unique_ptr<QObject> pressContext_;

    std::string fontName_ = "Courier New Cyr";
    float fontSize_ = 9.0f;
    std::string title_;
    std::vector<Line> lines_;
    bool continuing_ = false;
    bool open_ = false;
    bool pressOpen_ = false;
    Plan plan_;
    heatx::ReportJournal journal_;
    std::string journalFont_;
    float journalSize_ = 0.0f;

    int documents_ = 0;
    std::vector<std::string> written_;
    std::string lastDestination_;
    bool lastToPrinter_ = false;
};

// Renders every journal left by a run that died with a report open into a PDF file in the documents
// folder of the options and removes the journal; the student is told where each recovered report is.
// Returns the files written.
std::vector<std::string> RecoverReportJournals(const heatx::Clock& clock, const QtPrinterOptions& options,
                                               const QtReportPrinter::NoticeHandler& notice);

// The notices of the printer shown to the student through the platform's dialogs (the one-button
// notice box), as long as the run has not ended.
void ConnectReportNotices(QtReportPrinter& printer, Platform& platform);

}  // namespace heatx::ui
