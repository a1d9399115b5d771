// The journal of an open report: every printed line is appended to it as it is printed, so that a
// report survives what no handler can catch (the display lost, the process killed, a power cut). A
// journal is held (locked) by its program from before it has a name another start can see until it
// is removed; a journal found unheld at a start belongs to a run that died with its report open, and
// is recovered then (ReportKeeper::Recover).
//
// A journal holds only what the report holds: the job title (apparatus, student, date) and the
// printed texts with their font, and at the end the mark of the saved report. One record per line:
//   heatx-journal 1          first line
//   T <title>                the job title
//   F <size> <font name>     the font of the texts that follow
//   P <text>                 a text that the next one continues on the same line
//   L <text>                 a text that ends its line
//   S file <size> <hash> <path>   the report is being given this name (size and hash of its bytes)
//   S printer <name>         the report was taken by this printer
// Backslash, tab, carriage return and line feed inside a text are written as \\ \t \r \n.
//
// Where the bytes are kept is the platform's (JournalStore): folders on a desktop, the browser's
// storage on the web.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_files.h"

namespace heatx {

// ---- The records ------------------------------------------------------------------------------------

std::string JournalHeaderRecord();
std::string JournalTitleRecord(std::string_view title);
std::string JournalFontRecord(std::string_view name, float points);
std::string JournalTextRecord(std::string_view text, bool endLine);
std::string JournalSavedFileRecord(const std::string& path, const ContentPrint& print);
std::string JournalSavedPrinterRecord(const std::string& printer);

// One printed text of a journal.
struct JournalText {
    std::string text;
    bool endLine = true;
    std::string fontName;
    float fontSize = 9.0f;
};

// Where the report of a journal was saved (or was about to be).
struct JournalSavedMark {
    bool printer = false;
    std::string where;  // the file's path or the printer's name
    ContentPrint print;
};

struct JournalContents {
    std::string title;
    std::vector<JournalText> texts;
    std::vector<JournalSavedMark> saved;
    // False when something of the bytes could not be read: no header, a record that is no record, a
    // line end that the program does not write, a last record cut short, or more than was read.
    bool whole = true;
};

// Reads the records of journal bytes; every readable record is taken, whatever else the bytes hold.
// True when the bytes begin with the journal's header.
bool ParseJournal(std::string_view bytes, JournalContents& contents);

// ---- Where journals are kept -------------------------------------------------------------------------

// One journal, held by this program: the journal of the open document, or one claimed for recovery.
class JournalHandle {
  public:
    virtual ~JournalHandle() = default;
    // Appends the bytes; true only when all of them were written. After a failure nothing more is
    // written to this journal (a record may be cut short in it).
    virtual bool Append(std::string_view bytes) = 0;
    // Brings what was appended to the storage itself (survives a power cut).
    virtual bool Sync() = 0;
    // How the student and standard error are told where it is (a path).
    virtual std::string Name() const = 0;
    // Why the last Append or Sync failed, in the student's words.
    virtual std::string Failure() const = 0;
    // The report is saved: the journal is removed and released.
    virtual void Remove() = 0;
    // The report could not be saved: released and kept for the next start.
    virtual void Keep() = 0;
    // A journal that could not be read whole: kept under another name that no start recovers again,
    // and released. Returns that name (empty when it could not be renamed; then it was kept as is).
    virtual std::string SetAside() = 0;
};

class JournalStore {
  public:
    virtual ~JournalStore() = default;
    // The places where journals can be kept, best first (e.g. folders).
    virtual std::size_t Places() const = 0;
    // A new journal with its header, at the first place from firstPlace on where one can be made, held
    // before any other program can find it; place tells where. nullptr (with the reasons) when none.
    virtual std::unique_ptr<JournalHandle> Create(std::size_t firstPlace, std::size_t& place,
                                                  std::string& reason) = 0;
    // The names of the journals at all places, oldest first; those held by running programs too.
    virtual std::vector<std::string> Journals() = 0;
    // Takes a journal for recovery: held by this caller alone until it is removed, kept or set aside,
    // and only while it is still there (a journal another start recovered meanwhile is not taken).
    // At most limit bytes are read into bytes; whole is false when there was more. nullptr when the
    // journal is held by another program, gone, or not a journal file (a pipe, a device, a link).
    virtual std::unique_ptr<JournalHandle> Claim(const std::string& name, std::size_t limit,
                                                 std::string& bytes, bool& whole) = 0;
};

// ---- Journals in folders (the desktop) --------------------------------------------------------------

class ReportJournal : public JournalHandle {
  public:
    ReportJournal() = default;
    // An open journal is released and kept (it is the record of an unfinished report).
    ~ReportJournal() override;
    ReportJournal(const ReportJournal&) = delete;
    ReportJournal& operator=(const ReportJournal&) = delete;

    // Creates a new journal "report-PID-N.journal" in the folder (made when missing): written and
    // locked under a hidden name first, then linked to its name. False when it cannot be created
    // (Failure says why).
    bool Begin(const std::string& folder);
    // Takes the journal at path for recovery (see JournalStore::Claim).
    bool Claim(const std::string& path, std::size_t limit, std::string& bytes, bool& whole);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    bool Title(std::string_view title) { return Append(JournalTitleRecord(title)); }
    bool Font(std::string_view name, float points) { return Append(JournalFontRecord(name, points)); }
    bool Text(std::string_view text, bool endLine) { return Append(JournalTextRecord(text, endLine)); }

    bool Append(std::string_view bytes) override;
    bool Sync() override;
    std::string Name() const override { return path_; }
    std::string Failure() const override { return failure_; }
    void Remove() override;
    void Keep() override;
    std::string SetAside() override;

    // The same as Remove and Keep.
    void Discard() { Remove(); }

  private:
    void Close();

    int fd_ = -1;
    bool failed_ = false;
    std::string path_;
    std::string failure_;
};

// Journals in folders, the first folder the best.
class FolderJournalStore : public JournalStore {
  public:
    explicit FolderJournalStore(std::vector<std::string> folders) : folders_(std::move(folders)) {}

    std::size_t Places() const override { return folders_.size(); }
    std::unique_ptr<JournalHandle> Create(std::size_t firstPlace, std::size_t& place,
                                          std::string& reason) override;
    // Also removes the hidden names of journals whose creation a killed run left unfinished.
    std::vector<std::string> Journals() override;
    std::unique_ptr<JournalHandle> Claim(const std::string& name, std::size_t limit, std::string& bytes,
                                         bool& whole) override;
    const std::vector<std::string>& Folders() const { return folders_; }

  private:
    std::vector<std::string> folders_;
};

// Journals in the folder that no running program holds, oldest name first (for a look; recovery
// claims each one).
std::vector<std::string> OrphanedJournals(const std::string& folder);

// Reads the journal at path (at most 1 MiB of it). False when it cannot be read or does not begin
// with the journal's header; the readable records are in contents even then.
bool ReadJournal(const std::string& path, JournalContents& contents);

// Removes a journal file.
bool RemoveJournal(const std::string& path);

}  // namespace heatx
