#include "batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "calculator.h"
#include "csv.h"
#include "design_data/design_data.h"
#include "protocol.h"
#include "reports/layout.h"
#include "reports/text.h"
#include "safe_file.h"
#include "system_error.h"
#include "table_number.h"
#include "variant.h"
#include "workbook.h"

namespace heatx::cli {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;
constexpr std::size_t kNameLimit = 120;  // bytes of a file name made from a variant's name

std::string ErrnoText(int error) {
    return SystemErrorText(error);
}

// Where the result table goes: standard output, or --output written by the rules of SafeFile (whole
// or not at all; a device or a pipe written directly).
class TableOutput {
  public:
    TableOutput(std::ostream& out, std::optional<std::string> path) : out_(out), path_(std::move(path)) {}

    bool Open(std::string& why) { return !path_ || file_.Open(*path_, true, why); }

    void Write(std::string& pending) {
        if (path_) {
            file_.Write(pending);
        } else if (!failed_) {
            out_.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            failed_ = !out_;
        }
        pending.clear();
    }

    // Completes the table: flushes standard output, or completes the file.
    bool Finish(std::string& why) {
        if (path_) {
            return file_.Commit(why);
        }
        out_.flush();
        if (failed_ || !out_) {
            why = "не удаётся записать результаты в стандартный вывод";
            return false;
        }
        return true;
    }

  private:
    std::ostream& out_;
    std::optional<std::string> path_;
    SafeFile file_;
    bool failed_ = false;
};

// File names made from the variants' names: safe for a file system and unique within the run.
class FileNames {
  public:
    std::string Next(std::string_view name, std::size_t line) {
        std::string safe;
        for (char c : name) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr) {
                safe.push_back('_');
            } else {
                safe.push_back(c);
            }
        }
        // No leading or trailing blanks and dots (no hidden files, no "." or "..").
        const std::size_t first = safe.find_first_not_of(" .");
        safe = first == std::string::npos ? std::string() : safe.substr(first);
        while (!safe.empty() && (safe.back() == ' ' || safe.back() == '.')) {
            safe.pop_back();
        }
        if (safe.size() > kNameLimit) {
            std::size_t cut = kNameLimit;
            while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) {
                --cut;  // not inside a UTF-8 sequence
            }
            safe.resize(cut);
        }
        if (safe.empty()) {
            safe = "вариант-строка-" + std::to_string(line);
        }
        std::string unique = safe;
        for (int n = 2; used_.count(unique) != 0; ++n) {
            unique = safe + "-" + std::to_string(n);
        }
        used_.insert(unique);
        return unique;
    }

  private:
    std::unordered_set<std::string> used_;
};

bool EnsureFolder(const std::string& path, std::string& why) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return true;
        }
        why = path + " — не папка";
        return false;
    }
    if (::mkdir(path.c_str(), 0755) != 0) {
        why = "не удаётся создать папку " + path + ": " + ErrnoText(errno);
        return false;
    }
    return true;
}

struct BatchOptions {
    bool exact = false;
    bool asTyped = false;
    bool plain = false;
    std::optional<std::string> output;
    std::optional<std::string> reports;
    std::optional<std::string> protocols;
    std::optional<std::string> input;
    std::optional<std::string> sheet;
};

int BatchUsage(std::ostream& err, std::string_view why) {
    err << "heatx-calc: " << why << "\n"
        << "Использование: heatx-calc batch [--exact] [--as-typed] [--plain] [--sheet ЛИСТ] [--output ФАЙЛ] "
           "[--reports ПАПКА] [--protocol ПАПКА] ФАЙЛ|-\n";
    return kExitUsage;
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The result table, in the delimiter, decimal separator and encoding of the input.
class TableFormat {
  public:
    char delimiter = ';';
    char decimal = '.';
    TextEncoding encoding = TextEncoding::Utf8;
    std::string_view lineEnd = "\n";

    void Field(std::string& row, std::string_view text, bool first = false) const {
        if (!first) {
            row.push_back(delimiter);
        }
        if (encoding == TextEncoding::Windows1251) {
            bool ascii = true;
            for (char c : text) {
                ascii = ascii && static_cast<unsigned char>(c) < 0x80;
            }
            if (!ascii) {
                AppendCsvField(row, Utf8ToWindows1251(text), delimiter);
                return;
            }
        }
        AppendCsvField(row, text, delimiter);
    }

    void Number(std::string& row, std::string text) const {
        if (decimal != '.') {
            for (char& c : text) {
                if (c == '.') {
                    c = decimal;
                }
            }
        }
        Field(row, text);
    }
};

using Header = std::array<std::string_view, 9>;

// For scripts (--plain): the machine names of the columns and the statuses "ok" and "error".
constexpr Header kPlainHeader = {"name",     "kind",     "status", "AlphaTube", "AlphaShell",
                                 "OverallK", "SurfaceF", "ReTube", "ReShell"};
// For a person: Russian names with units.
constexpr Header kHeader = {"Имя",
                            "Вид",
                            "Состояние",
                            "αтр, Вт/(м²·К)",
                            "αмтр, Вт/(м²·К)",
                            "K, Вт/(м²·К)",
                            "F, м²",
                            "Re в трубах",
                            "Re в межтрубном пространстве"};
// The same in Windows-1251, which has neither α nor ².
constexpr Header kHeader1251 = {
    "Имя",          "Вид",   "Состояние",   "альфа тр, Вт/(м2·К)",         "альфа мтр, Вт/(м2·К)",
    "K, Вт/(м2·К)", "F, м2", "Re в трубах", "Re в межтрубном пространстве"};
constexpr std::string_view kDone = "рассчитан";

// Where the result rows go: a CSV table or a workbook.
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void Sheet(std::string_view name) = 0;
    virtual void Heading(const Header& header) = 0;
    // `numbers`: the results as decimal texts with a point.
    virtual void Row(std::string_view name, std::string_view kind, std::string_view status,
                     const std::array<std::string, 6>& numbers, std::size_t count) = 0;
    // The decimal separator of the input's numbers, once known.
    virtual void Decimal(char) {}
    // Completes the output, whole or not at all.
    virtual bool Finish(std::string& why) = 0;
};

class CsvSink : public ResultSink {
  public:
    CsvSink(TableOutput& table, const TableFormat& format, bool bom)
        : table_(table), format_(format), bom_(bom) {
        pending_.reserve(kFlushSize * 2);
    }
    TableFormat& Format() { return format_; }
    void SetByteOrderMark(bool bom) { bom_ = bom; }

    void Sheet(std::string_view) override {}
    void Heading(const Header& header) override {
        if (headed_) {
            return;  // one header for the rows of every sheet
        }
        headed_ = true;
        if (bom_) {
            pending_ += "\xEF\xBB\xBF";
        }
        for (std::size_t i = 0; i < header.size(); ++i) {
            format_.Field(pending_, header[i], i == 0);
        }
        pending_ += format_.lineEnd;
    }
    void Row(std::string_view name, std::string_view kind, std::string_view status,
             const std::array<std::string, 6>& numbers, std::size_t count) override {
        format_.Field(pending_, name, true);
        format_.Field(pending_, kind);
        format_.Field(pending_, status);
        for (std::size_t i = 0; i < count; ++i) {
            format_.Number(pending_, numbers[i]);
        }
        for (std::size_t i = count; i < 6; ++i) {
            pending_.push_back(format_.delimiter);
        }
        pending_ += format_.lineEnd;
        if (pending_.size() >= kFlushSize) {
            table_.Write(pending_);
        }
    }
    void Decimal(char decimal) override { format_.decimal = decimal; }
    bool Finish(std::string& why) override {
        table_.Write(pending_);
        return table_.Finish(why);
    }

  private:
    TableOutput& table_;
    TableFormat format_;
    bool bom_;
    bool headed_ = false;
    std::string pending_;
};

// A workbook: the library writes it to a private temporary file, which then reaches its place by the
// rules of SafeFile (whole or not at all, only a regular file replaced). Without --output the place is
// the first free name beside the input (never an existing file).
class WorkbookSink : public ResultSink {
  public:
    WorkbookSink(WorkbookFormat format, std::string path, bool keepExisting)
        : format_(format), path_(std::move(path)), keepExisting_(keepExisting) {}
    ~WorkbookSink() override { writer_.reset(); }  // before the scratch file goes

    bool Open(std::string& why) {
        if (keepExisting_) {
            stem_ = path_.substr(0, path_.size() - WorkbookExtension(format_).size());
            FirstFreeName();
        }
        if (!file_.Open(path_, false, why)) {
            return false;
        }
        const char* folder = std::getenv("TMPDIR");
        if (!scratch_.Create(folder != nullptr && *folder != '\0' ? folder : P_tmpdir, why)) {
            return false;
        }
        temporary_ = scratch_.Path();
        writer_ = WorkbookWriter::Create(format_, temporary_);
        return true;
    }
    const std::string& Path() const { return path_; }

    void Sheet(std::string_view name) override { writer_->Sheet(name); }
    void Heading(const Header& header) override {
        cells_.clear();
        for (std::string_view h : header) {
            cells_.push_back({h, false, 0});
        }
        writer_->Row(cells_, true);
    }
    void Row(std::string_view name, std::string_view kind, std::string_view status,
             const std::array<std::string, 6>& numbers, std::size_t count) override {
        cells_.clear();
        cells_.push_back({name, false, 0});
        cells_.push_back({kind, false, 0});
        cells_.push_back({status, false, 0});
        for (std::size_t i = 0; i < count; ++i) {
            double value = 0;
            std::from_chars(numbers[i].data(), numbers[i].data() + numbers[i].size(), value);
            cells_.push_back({numbers[i], true, value});
        }
        writer_->Row(cells_, false);
    }
    bool Finish(std::string& why) override {
        const bool written = writer_->Close(why);
        writer_.reset();
        if (!written) {
            why = path_ + ": " + why;
            return false;
        }
        // A name chosen as free may be taken by the time the book is whole (another run on the same
        // table): the book then goes to the next free name, never over that file.
        for (int attempt = 0;; ++attempt) {
            if (!CopyScratch(why)) {
                return false;
            }
            if (file_.Commit(keepExisting_, why)) {
                return true;
            }
            if (!file_.NameTaken() || attempt == 100) {
                return false;
            }
            FirstFreeName();
            if (!file_.Open(path_, false, why)) {
                return false;
            }
        }
    }

  private:
    // NAME-результаты.EXT, NAME-результаты-2.EXT…: the first name where nothing is.
    void FirstFreeName() {
        const std::string_view extension = WorkbookExtension(format_);
        struct stat st {};
        while (::lstat(path_.c_str(), &st) == 0) {
            path_ = stem_ + "-" + std::to_string(++number_) + std::string(extension);
        }
    }

    // The library's finished book into the file that takes its place.
    bool CopyScratch(std::string& why) {
        const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            why = "не удаётся прочитать временный файл книги " + temporary_ + ": " + ErrnoText(errno);
            return false;
        }
        std::vector<char> buffer(kFlushSize);
        for (;;) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                why = "не удаётся прочитать временный файл книги " + temporary_ + ": " + ErrnoText(errno);
                ::close(fd);
                return false;
            }
            if (n == 0) {
                break;
            }
            file_.Write(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        }
        ::close(fd);
        return true;
    }

    WorkbookFormat format_;
    std::string path_;
    bool keepExisting_;
    std::string stem_;  // the default name without its extension
    int number_ = 1;    // of the last name tried
    SafeFile file_;
    ScratchFile scratch_;  // the library's own file, removed on a signal too
    std::string temporary_;
    std::unique_ptr<WorkbookWriter> writer_;
    std::vector<WorkbookCell> cells_;
};

// The rows of the input, sheet by sheet: the records of a CSV table (one sheet) or a workbook's rows.
class RowSource {
  public:
    virtual ~RowSource() = default;
    // The next sheet; false when none is left.
    virtual bool NextSheet(std::string& name) = 0;
    // The next record of the sheet; false at its end.
    virtual bool Next(CsvRecord& record) = 0;
};

class CsvSource : public RowSource {
  public:
    explicit CsvSource(CsvReader& reader) : reader_(reader) {}
    bool NextSheet(std::string& name) override {
        name = "Результаты";
        return !std::exchange(done_, true);
    }
    bool Next(CsvRecord& record) override { return reader_.Next(record); }

  private:
    CsvReader& reader_;
    bool done_ = false;
};

class WorkbookSource : public RowSource {
  public:
    explicit WorkbookSource(std::vector<WorkbookSheet>& sheets) : sheets_(sheets) {}
    bool NextSheet(std::string& name) override {
        if (sheet_ >= sheets_.size()) {
            return false;
        }
        name = sheets_[sheet_++].name;
        row_ = 0;
        return true;
    }
    bool Next(CsvRecord& record) override {
        std::vector<WorkbookRow>& rows = sheets_[sheet_ - 1].rows;
        if (row_ >= rows.size()) {
            return false;
        }
        record.fields.swap(rows[row_].fields);
        record.line = rows[row_].line;
        record.error.clear();
        ++row_;
        return true;
    }

  private:
    std::vector<WorkbookSheet>& sheets_;
    std::size_t sheet_ = 0;
    std::size_t row_ = 0;
};

bool OneOf(const std::string& key, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words) {
        if (key == w) {
            return true;
        }
    }
    return false;
}

// The header row, recognised by its cells: the name and kind columns by their usual headings, or the
// first value column headed "T0…" (as the template writes it).
bool HeaderRow(const std::vector<std::string>& f) {
    if (f.size() >= 2 && OneOf(KindKey(f[1]), {"KIND", "ВИД", "ВИД АППАРАТА", "АППАРАТ", "ТИП"})) {
        return true;
    }
    if (!f.empty() && OneOf(KindKey(f[0]), {"NAME", "ИМЯ", "ВАРИАНТ", "СТУДЕНТ", "ФИО", "ФАМИЛИЯ"}) &&
        (f.size() < 2 || !ParseKindName(f[1]))) {
        return true;
    }
    if (f.size() >= 3) {
        const std::string key = KindKey(f[2]);
        return key.rfind("T0", 0) == 0 || key.rfind(
                                              "\xD0\xA2"
                                              "0",
                                              0) == 0;  // Latin or Cyrillic T
    }
    return false;
}

// A row that is already a variant: a kind in the second cell, or numbers in at least three cells.
bool VariantRow(const std::vector<std::string>& f) {
    if (f.size() >= 2 && ParseKindName(f[1])) {
        return true;
    }
    std::size_t numbers = 0;
    TableNumber number;
    for (std::size_t i = 2; i < f.size(); ++i) {
        numbers += ReadTableNumber(f[i], number) ? 1 : 0;
    }
    return numbers >= 3;
}

std::string Excerpt(const std::vector<std::string>& f) {
    std::string text;
    for (const std::string& cell : f) {
        if (!Blank(cell)) {
            text += text.empty() ? "" : " ";
            text += TrimBlanks(cell);
        }
    }
    if (CharLength(text) > 60) {
        std::size_t cut = 60;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
        text += "…";
    }
    return text;
}

// What the first bytes of the input say it is; the whole input read once: a pipe is copied to an
// unnamed temporary file on the way, so that it can be read again, and a text's encoding is judged
// line by line.
enum class InputKind { Text, Workbook, NotATable };

struct Probe {
    InputKind kind = InputKind::Text;
    std::string why;      // for NotATable
    EncodingJudge judge;  // a text that is not wholly valid UTF-8, judged line by line
    int fd = -1;          // what to read from now, at its start
    int copy = -1;        // the temporary copy of a pipe (to close)
    int error = 0;        // a read error
};

void ProbeInput(int fd, Probe& probe) {
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    probe.fd = fd;
    if (!regular) {
        const char* folder = std::getenv("TMPDIR");
        const std::string tmp = folder != nullptr && *folder != '\0' ? folder : P_tmpdir;
        probe.copy = ::open(tmp.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (probe.copy < 0) {
            // A file system without unnamed files: a named one, removed at once.
            std::string name = tmp + "/heatx-calc-XXXXXX";
            probe.copy = ::mkstemp(name.data());
            if (probe.copy >= 0) {
                ::unlink(name.c_str());
            }
        }
        if (probe.copy < 0) {
            probe.error = errno;
            return;
        }
        probe.fd = probe.copy;
    }
    std::vector<char> buffer(kFlushSize);
    std::string head;
    bool judging = true;
    Utf8Check check;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            probe.error = errno;
            return;
        }
        if (n == 0) {
            break;
        }
        const std::string_view bytes(buffer.data(), static_cast<std::size_t>(n));
        if (head.size() < 8) {
            head += bytes.substr(0, 8 - head.size());
            if (head.size() >= 4 && head.rfind("PK\x03\x04", 0) == 0) {
                probe.kind = InputKind::Workbook;
                judging = false;
            } else if (head.size() >= 4 && head.rfind("\xD0\xCF\x11\xE0", 0) == 0) {
                probe.kind = InputKind::NotATable;
                probe.why = "книга старого формата .xls не читается: сохраните её как .xlsx, .ods или CSV";
                judging = false;
            } else if (head.size() >= 4 && head.rfind("%PDF", 0) == 0) {
                probe.kind = InputKind::NotATable;
                probe.why = "это документ PDF, а не таблица вариантов";
                judging = false;
            } else if (head.size() >= 2 &&
                       (head.rfind("\xFF\xFE", 0) == 0 || head.rfind("\xFE\xFF", 0) == 0)) {
                probe.kind = InputKind::NotATable;
                probe.why = "текст в кодировке UTF-16 не читается: сохраните таблицу как CSV в UTF-8";
                judging = false;
            }
        }
        if (judging) {
            check.Feed(bytes);
        }
        if (!regular) {
            for (std::string_view rest = bytes; !rest.empty();) {
                const ssize_t w = ::write(probe.copy, rest.data(), rest.size());
                if (w < 0 && errno == EINTR) {
                    continue;
                }
                if (w < 0) {
                    probe.error = errno;
                    return;
                }
                rest.remove_prefix(static_cast<std::size_t>(w));
            }
        } else if (!judging) {
            break;  // a file read from its start again needs no further look
        }
    }
    if (judging && check.Nul()) {
        probe.kind = InputKind::NotATable;
        probe.why =
            "это не таблица вариантов: ни текст CSV (в файле двоичные данные), ни книга .xlsx или .ods";
    } else if (judging && !check.Valid()) {
        // Not UTF-8 throughout: read again, line by line, for Windows-1251 or the first line in the
        // other encoding.
        if (::lseek(probe.fd, 0, SEEK_SET) != 0) {
            probe.error = errno;
            return;
        }
        for (;;) {
            const ssize_t n = ::read(probe.fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                probe.error = errno;
                return;
            }
            if (n == 0) {
                break;
            }
            probe.judge.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        }
        probe.judge.Finish();
    }
    if (::lseek(probe.fd, 0, SEEK_SET) != 0) {
        probe.error = errno;
    }
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower;
}

// The format a file name asks for by its extension: a workbook, CSV, or none (the input's).
enum class NamedFormat { None, Csv, Xlsx, Ods };

NamedFormat FormatOfName(const std::string& path) {
    const std::string lower = Lower(path);
    const auto ends = [&](std::string_view e) {
        return lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
    };
    return ends(".xlsx")                  ? NamedFormat::Xlsx
           : ends(".ods")                 ? NamedFormat::Ods
           : ends(".csv") || ends(".txt") ? NamedFormat::Csv
                                          : NamedFormat::None;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Clock& clock) {
    BatchOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::optional<std::string>& target) {
            if (i + 1 >= args.size()) {
                return false;
            }
            target = args[++i];
            return true;
        };
        if (arg == "--exact") {
            o.exact = true;
        } else if (arg == "--as-typed") {
            o.asTyped = true;
        } else if (arg == "--plain") {
            o.plain = true;
        } else if (arg == "--sheet") {
            if (!value(o.sheet)) {
                return BatchUsage(err, "после --sheet нужно имя листа");
            }
        } else if (arg == "--output") {
            if (!value(o.output)) {
                return BatchUsage(err, "после --output нужно имя файла");
            }
        } else if (arg == "--reports") {
            if (!value(o.reports)) {
                return BatchUsage(err, "после --reports нужна папка");
            }
        } else if (arg == "--protocol") {
            if (!value(o.protocols)) {
                return BatchUsage(err, "после --protocol нужна папка");
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return BatchUsage(err, "неизвестный ключ: \"" + arg + "\"");
        } else if (o.input) {
            return BatchUsage(err, "указано больше одного файла вариантов");
        } else {
            o.input = arg;
        }
    }
    if (!o.input) {
        return BatchUsage(err, "не указан файл вариантов (или «-» для стандартного ввода)");
    }

    int fd = 0;
    if (*o.input != "-") {
        fd = ::open(o.input->c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))) {
            const int error = fd < 0 ? errno : EISDIR;
            if (fd >= 0) {
                ::close(fd);
            }
            err << "heatx-calc: не удаётся открыть файл вариантов " << *o.input << ": " << ErrnoText(error)
                << "\n";
            return kExitNoInput;
        }
    }
    Probe probe;
    struct Closer {
        const int& fd;
        const int& copy;
        ~Closer() {
            if (fd > 0) {
                ::close(fd);
            }
            if (copy >= 0) {
                ::close(copy);
            }
        }
    } closer{fd, probe.copy};

    const std::string inputName = *o.input == "-" ? std::string("стандартный ввод") : *o.input;
    std::string why;
    for (const auto* folder : {&o.reports, &o.protocols}) {
        if (*folder && !EnsureFolder(**folder, why)) {
            err << "heatx-calc: " << why << "\n";
            return kExitOutput;
        }
    }
    // The output: in the format its name asks for, else in the input's; a workbook read without
    // --output is answered by a workbook beside it. One whose format its name tells is opened before
    // the input is read (a signal while a pipe is read then finds its temporary file).
    std::optional<TableOutput> table;
    std::unique_ptr<ResultSink> sink;
    CsvSink* csv = nullptr;
    const auto openOutput = [&](std::optional<WorkbookFormat> format, const std::optional<std::string>& path,
                                bool keepExisting) {
        if (format) {
            auto book = std::make_unique<WorkbookSink>(*format, *path, keepExisting);
            if (!book->Open(why)) {
                return false;
            }
            sink = std::move(book);
            return true;
        }
        table.emplace(out, path);
        if (!table->Open(why)) {
            return false;
        }
        auto text = std::make_unique<CsvSink>(*table, TableFormat{}, false);
        csv = text.get();
        sink = std::move(text);
        return true;
    };
    const NamedFormat named = o.output ? FormatOfName(*o.output) : NamedFormat::None;
    if (named != NamedFormat::None) {
        const std::optional<WorkbookFormat> format = named == NamedFormat::Xlsx ? WorkbookFormat::Xlsx
                                                     : named == NamedFormat::Ods
                                                         ? WorkbookFormat::Ods
                                                         : std::optional<WorkbookFormat>();
        if (!openOutput(format, o.output, false)) {
            err << "heatx-calc: " << why << "\n";
            return kExitOutput;
        }
    }

    ProbeInput(fd, probe);
    if (probe.error != 0) {
        err << "heatx-calc: ошибка чтения " << inputName << ": " << ErrnoText(probe.error) << "\n";
        return kExitNoInput;
    }
    if (probe.kind == InputKind::NotATable) {
        err << "heatx-calc: " << inputName << ": " << probe.why << "\n";
        return kExitNoInput;
    }
    if (probe.kind == InputKind::Text && probe.judge.BadLine() != 0) {
        // Read in one encoding or not at all: a table half in another would come out garbled.
        err << "heatx-calc: строка " << probe.judge.BadLine() << ": " << probe.judge.Why()
            << "; таблица не прочитана\n";
        return kExitData;
    }
    const bool workbook = probe.kind == InputKind::Workbook;
    std::vector<WorkbookSheet> sheets;
    WorkbookFormat inputFormat = WorkbookFormat::Xlsx;
    if (workbook && !ReadWorkbook(probe.fd, o.sheet.value_or(""), inputFormat, sheets, why)) {
        err << "heatx-calc: " << inputName << ": " << why << "\n";
        return kExitNoInput;
    }
    if (!workbook && o.sheet) {
        return BatchUsage(err, "--sheet — только для книг .xlsx и .ods");
    }
    bool keepExisting = false;
    if (!sink) {
        std::optional<std::string> path = o.output;
        if (!o.output && workbook) {
            if (*o.input == "-") {
                return BatchUsage(err, "для книги со стандартного ввода нужен --output ФАЙЛ");
            }
            std::string stem = *o.input;
            const std::size_t dot = stem.rfind('.');
            if (dot != std::string::npos && stem.find('/', dot) == std::string::npos) {
                stem.resize(dot);
            }
            path = stem + "-результаты" + std::string(WorkbookExtension(inputFormat));
            keepExisting = true;
        }
        if (!openOutput(workbook ? std::optional<WorkbookFormat>(inputFormat) : std::nullopt, path,
                        keepExisting)) {
            err << "heatx-calc: " << why << "\n";
            return kExitOutput;
        }
    }
    if (csv != nullptr && workbook) {
        // A workbook's results as a Russian spreadsheet reads CSV.
        csv->Format().decimal = ',';
        csv->Format().lineEnd = "\r\n";
        csv->SetByteOrderMark(true);
    }

    int readError = 0;
    const int readFd = probe.fd;
    CsvReader reader([readFd, &readError](char* buffer, std::size_t size) -> std::size_t {
        for (;;) {
            const ssize_t n = ::read(readFd, buffer, size);
            if (n >= 0) {
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) {
                readError = errno;
                return 0;
            }
        }
    });
    // (A text that reached here was judged whole: valid in its encoding and free of NUL bytes.)
    reader.SetEncoding(probe.judge.Encoding(), true);
    std::unique_ptr<RowSource> source;
    if (workbook) {
        source = std::make_unique<WorkbookSource>(sheets);
    } else {
        source = std::make_unique<CsvSource>(reader);
    }

    bool decimalKnown = workbook;
    CsvRecord record;
    bool malformed = false;
    bool filesFailed = false;
    FileNames names;
    std::vector<std::string_view> values;
    std::vector<TableNumber> numbers(18);
    std::array<std::string, 6> results;
    EvaporatorTrace evaporatorTrace;
    HeaterTrace heaterTrace;
    CoolerTrace coolerTrace;
    Recorders recorders;
    if (o.protocols) {
        recorders = {&evaporatorTrace, &heaterTrace, &coolerTrace};
    }
    std::string text;
    std::string sheetName;
    const auto removeStale = [&](const std::string& path) {
        // A file of an earlier run for a row that now has none.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            err << "heatx-calc: не удаётся удалить прежний " << path << ": " << ErrnoText(errno) << "\n";
            filesFailed = true;
        }
    };

    while (source->NextSheet(sheetName)) {
        const std::string where = workbook ? "лист «" + sheetName + "», " : std::string();
        sink->Sheet(sheetName);
        bool seeking = true;  // the header row is still to be found
        const auto heading = [&]() {
            seeking = false;
            if (csv != nullptr && !workbook) {
                TableFormat& format = csv->Format();
                format.delimiter = reader.Delimiter();
                format.encoding = reader.Encoding();
                format.lineEnd = reader.CrLf() ? "\r\n" : "\n";
                csv->SetByteOrderMark(reader.ByteOrderMark());
            }
            sink->Heading(o.plain ? kPlainHeader
                          : csv != nullptr && csv->Format().encoding == TextEncoding::Windows1251
                              ? kHeader1251
                              : kHeader);
        };
        while (source->Next(record)) {
            const std::vector<std::string>& f = record.fields;
            if (record.error.empty()) {
                bool empty = true;
                for (const std::string& field : f) {
                    empty = empty && Blank(field);
                }
                if (empty) {
                    continue;  // an empty row of the sheet is no variant
                }
            }
            if (seeking) {
                if (record.error.empty() && HeaderRow(f)) {
                    heading();
                    continue;
                }
                if (record.error.empty() && !VariantRow(f)) {
                    err << "heatx-calc: " << where << "строка " << record.line
                        << ": пропущена — над строкой заголовков: «" << Excerpt(f) << "»\n";
                    continue;
                }
                err << "heatx-calc: " << where << "в таблице нет строки заголовков: строка " << record.line
                    << " — уже вариант и читается как вариант\n";
                heading();
            }
            const std::string_view name = f.empty() ? std::string_view() : std::string_view(f[0]);
            const std::string_view kindText = f.size() < 2 ? std::string_view() : std::string_view(f[1]);
            std::string problem = record.error;
            std::string notNumber;
            std::optional<VariantKind> kind;
            if (problem.empty()) {
                kind = ParseKindName(kindText);
                if (f.size() < 2 || Blank(kindText)) {
                    problem = "не указан вид аппарата";
                } else if (!kind) {
                    problem = "неизвестный вид аппарата \"" + std::string(kindText) +
                              "\" (evaporator, heater-horizontal, heater-vertical, cooler)";
                } else {
                    const std::size_t need = ValueCount(kind->kind);
                    const std::size_t given = f.size() - 2;
                    std::size_t last = given;  // trailing empty fields are the sheet's, not the variant's
                    while (last > need && Blank(f[last + 1])) {
                        --last;
                    }
                    if (given < need || last > need) {
                        problem = "нужно значений для " + std::string(KindName(*kind)) + ": " +
                                  std::to_string(need) +
                                  ", дано: " + std::to_string(given < need ? given : last);
                    }
                }
            }
            if (problem.empty()) {
                values.clear();
                for (std::size_t i = 0; i < ValueCount(kind->kind) && notNumber.empty(); ++i) {
                    const std::string& v = f[i + 2];
                    if (o.asTyped) {
                        // As the program reads a typed text: whatever number the text begins with.
                        values.emplace_back(v);
                        if (!decimalKnown && v.find_first_of(".,") != std::string::npos) {
                            decimalKnown = true;
                            sink->Decimal(v.find(',') != std::string::npos ? ',' : '.');
                        }
                    } else if (ReadTableNumber(v, numbers[i])) {
                        values.emplace_back(numbers[i].asWritten ? std::string_view(v)
                                                                 : std::string_view(numbers[i].text));
                        if (!decimalKnown && numbers[i].decimal != 0) {
                            decimalKnown = true;
                            sink->Decimal(numbers[i].decimal);
                        }
                    } else {
                        const PositionalValue p = PositionalValues(*kind)[i];
                        notNumber = "не число: параметр T" + std::to_string(p.position) + " «" + p.label +
                                    "», " +
                                    (Blank(v) ? std::string("ячейка пуста") : "в ячейке \"" + v + "\"");
                    }
                }
            }
            std::string file;
            if ((o.reports || o.protocols) && (problem.empty() || !name.empty())) {
                file = names.Next(name, record.line);
            }
            bool reported = false;
            bool protocolled = false;
            if (!problem.empty() || !notNumber.empty()) {
                malformed = true;
                const std::string& reason = problem.empty() ? notNumber : problem;
                err << "heatx-calc: " << where << "строка " << record.line << ": " << reason << "\n";
                sink->Row(name, kindText,
                          o.plain           ? std::string("error")
                          : problem.empty() ? notNumber
                                            : "не прочитана: " + problem,
                          results, 0);
            } else {
                DesignData data;
                const VariantResult result = ComputeVariant(*kind, values, name, data, recorders);
                if (result.outcome == Outcome::Range) {
                    sink->Row(name, kindText, "вне диапазона: " + RangeDescription(result), results, 0);
                } else {
                    if (result.outcome == Outcome::Method) {
                        sink->Row(name, kindText, "нет результата: " + result.reason, results, 0);
                    } else {
                        const ResultSet set = Results(*kind, data);
                        std::size_t n = 0;
                        for (const NamedResult& r : set) {
                            results[n++] =
                                o.exact ? Exact(r.value) : TrimBlanks(FormatFixed(r.value, 0, r.decimals));
                        }
                        sink->Row(name, kindText, o.plain ? std::string_view("ok") : kDone, results, n);
                    }
                    if (o.reports && result.outcome == Outcome::Ok) {
                        reported = true;
                        text.clear();
                        AppendReport(text, *kind, data, clock);
                        const std::string path = *o.reports + "/" + file + ".txt";
                        if (!WriteFileSafely(path, text, why)) {
                            err << "heatx-calc: " << why << "\n";
                            filesFailed = true;
                        }
                    }
                    if (o.protocols) {
                        protocolled = true;
                        text.clear();
                        AppendProtocol(text, kind->kind, data, recorders);
                        const std::string path = *o.protocols + "/" + file + "-protocol.txt";
                        if (!WriteFileSafely(path, text, why)) {
                            err << "heatx-calc: " << why << "\n";
                            filesFailed = true;
                        }
                    }
                }
            }
            if (!file.empty() && o.reports && !reported) {
                removeStale(*o.reports + "/" + file + ".txt");
            }
            if (!file.empty() && o.protocols && !protocolled) {
                removeStale(*o.protocols + "/" + file + "-protocol.txt");
            }
        }
        if (seeking) {
            // No header and no variant: an empty table gets the header of the result table.
            heading();
        }
    }
    if (readError != 0) {
        // A table read only in part is not written as if it were whole (the temporary file goes).
        err << "heatx-calc: ошибка чтения " << inputName << ": " << ErrnoText(readError) << "\n";
        return kExitNoInput;
    }
    if (!sink->Finish(why)) {
        err << "heatx-calc: " << why << "\n";
        return kExitOutput;
    }
    if (keepExisting) {
        err << "heatx-calc: результаты записаны в " << static_cast<WorkbookSink*>(sink.get())->Path() << "\n";
    }
    if (filesFailed) {
        return kExitOutput;
    }
    return malformed ? kExitData : kExitOk;
}

int RunTemplate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto usage = [&](std::string_view why) {
        err << "heatx-calc: " << why << "\n"
            << "Использование: heatx-calc template evaporator|heater-horizontal|heater-vertical|cooler\n";
        return kExitUsage;
    };
    if (args.size() != 1) {
        return usage(args.empty() ? "не указан вид аппарата" : "лишние аргументы");
    }
    const std::optional<VariantKind> kind = ParseKindName(args[0]);
    if (!kind) {
        return usage("неизвестный вид аппарата: \"" + args[0] + "\"");
    }
    // A Russian spreadsheet's own format: ";" between the fields and a decimal comma.
    TableFormat format;
    format.decimal = ',';
    std::string row;
    format.Field(row, "name", true);
    format.Field(row, "kind");
    std::vector<std::string_view> texts;
    for (const PositionalValue& v : PositionalValues(*kind)) {
        std::string heading(1, 'T');
        heading += std::to_string(v.position);
        heading += ' ';
        heading += v.label;
        format.Field(row, heading);
    }
    row += "\r\n";
    switch (kind->kind) {
        case Kind::Evaporator:
            texts.assign(kEvaporatorReferenceTexts.begin(), kEvaporatorReferenceTexts.end());
            texts.push_back(kEvaporatorReferenceHeight);
            break;
        case Kind::Heater:
            texts.assign(kHeaterReferenceTexts.begin(), kHeaterReferenceTexts.end());
            texts.insert(texts.end(), kHeaterReferenceConstruction.begin(),
                         kHeaterReferenceConstruction.end());
            break;
        case Kind::Cooler:
            texts.assign(kCoolerReferenceTexts.begin(), kCoolerReferenceTexts.end());
            texts.insert(texts.end(), kCoolerReferenceConstruction.begin(),
                         kCoolerReferenceConstruction.end());
            break;
    }
    format.Field(row, "образец", true);
    format.Field(row, KindName(*kind));
    for (std::string_view t : texts) {
        const std::string trimmed = TrimBlanks(t);
        std::string value = !trimmed.empty() && trimmed[0] == '.' ? std::string(1, '0') : std::string();
        value += trimmed;
        format.Number(row, value);
    }
    row += "\r\n";
    out << row;
    return kExitOk;
}

}  // namespace heatx::cli
