// The keeper of a task's report, from its first printed line until it is on paper or in a file: the
// one owner of the report's life on every platform.
//
// It keeps the document of the open task (head, rows, blocks, end) in memory and every printed text in
// a journal (JournalStore), decides where the document goes (a named file, the system's printer, a
// file named after the time in the documents folder, and the fall-backs between them), has the pages
// drawn and delivered (ReportOutput), and composes every notice the student gets about his report.
// At a start it recovers the journals of runs that died with a report open.
//
// The rules it keeps:
// - a promise is made only for lines known to be on the disk: a failed or short journal write is told
//   at the end of that press, the lines stay in memory, and the journal moves to the next place where
//   it can be written whole (tried again at every press);
// - a press whose report can be neither protected by a journal nor saved anywhere is told at that
//   press;
// - a journal is held from before it has a name another start can see until it is removed;
// - a journal is recovered exactly once: it is claimed (held) before it is read, the report's name and
//   fingerprint are written into it before the report gets that name, and a start that finds a journal
//   whose report is already there only removes it;
// - a journal that cannot be read whole is set aside (not deleted), its readable lines recovered, and
//   the student told.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reports/clock.h"
#include "reports/journal.h"
#include "reports/printer.h"
#include "reports/report_files.h"

namespace heatx {

// The document of a task as printed: lines of texts, each text in the font set when it was printed.
struct ReportSegment {
    std::string text;
    std::string fontName;
    float fontSize = 9.0f;
};
using ReportLine = std::vector<ReportSegment>;
struct ReportDocument {
    std::string title;
    std::vector<ReportLine> lines;
};

// How finished pages reach paper or a file: implemented by each platform.
class ReportOutput {
  public:
    virtual ~ReportOutput() = default;

    // Draws the pages of the document into the bytes of one file (a PDF); false when it cannot.
    virtual bool Draw(const ReportDocument& document, std::string& pages) = 0;

    // The system's default printer; empty when there is none.
    virtual std::string DefaultPrinter() { return std::string(); }
    // Whether the printer exists and takes jobs; reason says why not.
    virtual bool PrinterAccepts(const std::string& printer, std::string& reason);
    // Sends the pages as one job with the title; true only when the printer took all of them.
    virtual bool SendToPrinter(const std::string& printer, const std::string& title, std::string_view pages,
                               std::string& reason);

    // The folder of the reports named after the time (the user's documents folder).
    virtual std::string DocumentsFolder() = 0;
    // Why report files cannot be written into the folder (made first with create); empty when they can.
    virtual std::string FolderProblem(const std::string& folder, bool create) = 0;
    // The first of FILE, FILE-2... that names nothing yet.
    virtual std::string FreeName(const std::string& base) = 0;
    // Writes the pages whole under the first free name of base (see WriteWholeFile).
    virtual bool WriteFile(const std::string& base, std::string_view pages, const BeforeNaming& beforeNaming,
                           std::string& finalPath, std::string& reason) = 0;
    // Whether the file holds exactly the bytes of the fingerprint.
    virtual bool FileHolds(const std::string& path, const ContentPrint& print) = 0;
    // Removes what a run killed while saving left in the folder.
    virtual void CleanFolder(const std::string& folder) { (void)folder; }
    // Where a recovered report's lines went, as the student is told it before the place itself.
    virtual const char* RecoveredInto() const { return "сохранены в файл:"; }
};

// Report files on the desktop's file system (report_files.h); the drawing and the printer are left to
// the platform's printer.
class FileReportOutput : public ReportOutput {
  public:
    explicit FileReportOutput(std::string documentsFolder) : documents_(std::move(documentsFolder)) {}

    std::string DocumentsFolder() override { return documents_; }
    std::string FolderProblem(const std::string& folder, bool create) override;
    std::string FreeName(const std::string& base) override;
    bool WriteFile(const std::string& base, std::string_view pages, const BeforeNaming& beforeNaming,
                   std::string& finalPath, std::string& reason) override;
    bool FileHolds(const std::string& path, const ContentPrint& print) override;
    void CleanFolder(const std::string& folder) override;

  private:
    std::string documents_;
};

struct ReportKeeperOptions {
    // The file of the reports (the program's --print-to); empty: the printer or the documents folder.
    std::string pdfFile;
    // Whether the system's default printer is tried before a file.
    bool useSystemPrinter = true;
};

class ReportKeeper : public Printer {
  public:
    // Text and title of a notice for the student.
    using NoticeHandler = std::function<void(const std::string& text, const std::string& title)>;

    static constexpr const char* kNoticeTitle = "ОТЧЁТ";
    static constexpr const char* kFailureTitle = "ОШИБКА !";
    // What a start reads of one journal, and how many journals it recovers (the rest wait for the
    // next start): a start is never held up by what it finds.
    static constexpr std::size_t kRecoveryReadLimit = 256 * 1024;
    static constexpr int kRecoveriesPerStart = 16;

    // The clock names the files in the documents folder. Without journals (nullptr) nothing is
    // protected and nothing is said about it (tests, tools).
    ReportKeeper(const Clock& clock, ReportOutput& output, JournalStore* journals,
                 ReportKeeperOptions options = {});
    // A document still open is saved; nobody is told any more (standard error is).
    ~ReportKeeper() override;
    ReportKeeper(const ReportKeeper&) = delete;
    ReportKeeper& operator=(const ReportKeeper&) = delete;

    void SetFontName(std::string_view name) override;
    void SetFontSize(float points) override;
    void SetJobTitle(std::string_view title) override;
    void Print(std::string_view text, bool endLine = true) override;
    void EndDoc() override;
    bool HasOpenDocument() const override { return open_; }

    // The end of a print press: the journal reaches the disk, and the student is told what he must
    // know now (where the report goes when to a file; that it cannot be protected or saved).
    void EndOfPress() override;

    // Receives the notices for the student. Without a handler only standard error is told.
    void OnNotice(NoticeHandler handler) { notice_ = std::move(handler); }
    // Runs after a report is saved and before its journal is removed (a test stops the process there).
    void AfterSaving(std::function<void()> hook) { afterSaving_ = std::move(hook); }

    // Renders every journal left by a run that died with a report open into a file in the documents
    // folder and removes the journal, each exactly once; the student is told. Also removes what a run
    // killed while saving left in the folders of the reports. Returns the files written.
    std::vector<std::string> Recover();

    // Where the open document is going: the file, or empty while none is open or it goes to the printer.
    const std::string& PlannedFile() const { return plan_.path; }
    // Where the last ended document went: the file, or the printer's name; empty when it was not saved.
    const std::string& LastDestination() const { return lastDestination_; }
    bool LastWentToPrinter() const { return lastToPrinter_; }
    // Number of documents ended so far (saved or not).
    int DocumentCount() const { return documents_; }
    // The journal of the open document; empty without one.
    std::string JournalName() const;
    // Whether every text of the open document is known to be in a journal on the disk.
    bool Protected() const { return journal_ != nullptr && !journalFailed_ && textsOnDisk_ == texts_; }
    const ReportDocument& Document() const { return document_; }

  private:
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
    bool PlanDocumentsFile(Plan& plan, std::string& reason);
    // Saves the pages at the plan's file, falling back to the documents folder; each name the report
    // gets is marked in the journal first.
    bool SaveToFile(const Plan& plan, std::string_view pages, JournalHandle* journal, std::string& saved,
                    std::string& reason);
    void Journal(const std::string& record);
    // Writes the whole journal of the open document at the first place where it can be, replacing
    // one that failed. True when every text is on the disk afterwards.
    bool MoveJournal();
    void SyncJournal();
    void Tell(const std::string& text, const std::string& title);
    // Recovers one claimed journal; the notice is composed here.
    void RecoverOne(const std::string& name, std::unique_ptr<JournalHandle> journal, const std::string& bytes,
                    bool readWhole, std::vector<std::string>& recovered);

    const Clock& clock_;
    ReportOutput& output_;
    JournalStore* journals_;
    ReportKeeperOptions options_;
    NoticeHandler notice_;
    std::function<void()> afterSaving_;

    std::string fontName_ = "Courier New Cyr";
    float fontSize_ = 9.0f;
    ReportDocument document_;
    bool continuing_ = false;
    bool open_ = false;
    bool pressOpen_ = false;
    Plan plan_;
    bool toldUnsaveable_ = false;

    // The journal of the open document: its records after the header (to write it again elsewhere),
    // the texts printed and those known on the disk.
    std::unique_ptr<JournalHandle> journal_;
    std::vector<std::unique_ptr<JournalHandle>> failedJournals_;
    bool journalFailed_ = false;
    std::string journalFailure_;
    std::string records_;
    std::string journalFont_;
    float journalSize_ = 0.0f;
    std::size_t texts_ = 0;
    std::size_t textsOnDisk_ = 0;
    bool toldUnprotected_ = false;

    int documents_ = 0;
    std::vector<std::string> written_;
    std::string lastDestination_;
    bool lastToPrinter_ = false;
};

}  // namespace heatx
