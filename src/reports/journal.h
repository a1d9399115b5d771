// The journal of an open report: every printed line is appended to a small file as it is printed, so
// that a report survives what no handler can catch (the display lost, the process killed, a power
// cut). The file is locked while its program lives; a journal found unlocked at the next start
// belongs to a run that died with its report open, and is rendered to a PDF then.
//
// A journal holds only what the report holds: the job title (apparatus, student, date) and the
// printed texts with their font. One record per line of the file:
//   heatx-journal 1          first line
//   T <title>                the job title
//   F <size> <font name>     the font of the texts that follow
//   P <text>                 a text that the next one continues on the same line
//   L <text>                 a text that ends its line
// Backslash, tab, carriage return and line feed inside a text are written as \\ \t \r \n.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace heatx {

class ReportJournal {
  public:
    ReportJournal() = default;
    // An open journal is closed and kept (it is the record of an unfinished report).
    ~ReportJournal();
    ReportJournal(const ReportJournal&) = delete;
    ReportJournal& operator=(const ReportJournal&) = delete;

    // Creates a new journal in the folder (made when missing) and locks it. False when it cannot be
    // created; printing then goes on without a journal.
    bool Begin(const std::string& folder);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Each record is written to the file at once (it survives the end of the process); false after
    // a failed write, after which nothing more is written.
    bool Title(std::string_view title);
    bool Font(std::string_view name, float points);
    bool Text(std::string_view text, bool endLine);
    // Flushes what was written to the disk itself (survives a power cut).
    bool Sync();

    // The report was saved: the journal is removed.
    void Discard();
    // The report could not be saved: the journal is closed and kept for the next start.
    void Keep();

  private:
    bool Write(const std::string& record);

    int fd_ = -1;
    bool failed_ = false;
    std::string path_;
};

// One printed text of a journal.
struct JournalText {
    std::string text;
    bool endLine = true;
    std::string fontName;
    float fontSize = 9.0f;
};

struct JournalContents {
    std::string title;
    std::vector<JournalText> texts;
};

// Journals in the folder that no running program holds (their program ended without finishing the
// report), oldest name first.
std::vector<std::string> OrphanedJournals(const std::string& folder);

// Reads a journal. A last record cut short by the end of the process is dropped; false when the file
// is not a journal or cannot be read.
bool ReadJournal(const std::string& path, JournalContents& contents);

// Removes a journal once its report has been recovered.
bool RemoveJournal(const std::string& path);

}  // namespace heatx
