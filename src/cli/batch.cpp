#include "batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "calculator.h"
#include "csv.h"
#include "design_data/design_data.h"
#include "protocol.h"
#include "reports/layout.h"
#include "reports/text.h"
#include "safe_file.h"
#include "variant.h"

namespace heatx::cli {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;
constexpr std::size_t kNameLimit = 120;  // bytes of a file name made from a variant's name

std::string ErrnoText(int error) {
    return std::strerror(error);
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
    std::optional<std::string> output;
    std::optional<std::string> reports;
    std::optional<std::string> protocols;
    std::optional<std::string> input;
};

int BatchUsage(std::ostream& err, std::string_view why) {
    err << "heatx-calc: " << why << "\n"
        << "Использование: heatx-calc batch [--exact] [--output ФАЙЛ] [--reports ПАПКА] [--protocol ПАПКА] "
           "ФАЙЛ|-\n";
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

constexpr std::array<std::string_view, 9> kHeader = {
    "name", "kind", "status", "AlphaTube", "AlphaShell", "OverallK", "SurfaceF", "ReTube", "ReShell"};

void RowWithoutResults(std::string& row, const TableFormat& format, std::string_view name,
                       std::string_view kind, std::string_view status) {
    format.Field(row, name, true);
    format.Field(row, kind);
    format.Field(row, status);
    for (int i = 0; i < 6; ++i) {
        row.push_back(format.delimiter);
    }
    row += format.lineEnd;
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
    struct Closer {
        int fd;
        ~Closer() {
            if (fd > 0) {
                ::close(fd);
            }
        }
    } closer{fd};

    std::string why;
    for (const auto* folder : {&o.reports, &o.protocols}) {
        if (*folder && !EnsureFolder(**folder, why)) {
            err << "heatx-calc: " << why << "\n";
            return kExitOutput;
        }
    }
    TableOutput table(out, o.output);
    if (!table.Open(why)) {
        err << "heatx-calc: " << why << "\n";
        return kExitOutput;
    }

    int readError = 0;
    CsvReader reader([fd, &readError](char* buffer, std::size_t size) -> std::size_t {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, size);
            if (n >= 0) {
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) {
                readError = errno;
                return 0;
            }
        }
    });

    TableFormat format;
    bool decimalKnown = false;
    std::string pending;
    pending.reserve(kFlushSize * 2);
    CsvRecord record;
    bool header = true;
    bool malformed = false;
    bool filesFailed = false;
    FileNames names;
    std::vector<std::string_view> values;
    EvaporatorTrace evaporatorTrace;
    HeaterTrace heaterTrace;
    CoolerTrace coolerTrace;
    Recorders recorders;
    if (o.protocols) {
        recorders = {&evaporatorTrace, &heaterTrace, &coolerTrace};
    }
    std::string text;

    while (reader.Next(record)) {
        format.delimiter = reader.Delimiter();
        format.encoding = reader.Encoding();
        if (header) {
            header = false;
            format.lineEnd = reader.CrLf() ? "\r\n" : "\n";
            if (reader.ByteOrderMark()) {
                pending += "\xEF\xBB\xBF";
            }
            for (std::size_t i = 0; i < kHeader.size(); ++i) {
                format.Field(pending, kHeader[i], i == 0);
            }
            pending += format.lineEnd;
            continue;
        }
        const std::vector<std::string>& f = record.fields;
        const std::string_view name = f.empty() ? std::string_view() : std::string_view(f[0]);
        const std::string_view kindText = f.size() < 2 ? std::string_view() : std::string_view(f[1]);
        std::string problem = record.error;
        std::optional<VariantKind> kind;
        if (problem.empty()) {
            bool empty = true;
            for (const std::string& field : f) {
                empty = empty && Blank(field);
            }
            if (empty) {
                continue;  // an empty row of the sheet is no variant
            }
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
                              std::to_string(need) + ", дано: " + std::to_string(given < need ? given : last);
                }
            }
        }
        if (!problem.empty()) {
            malformed = true;
            err << "heatx-calc: строка " << record.line << ": " << problem << "\n";
            RowWithoutResults(pending, format, name, kindText, "error");
        } else {
            values.clear();
            for (std::size_t i = 0; i < ValueCount(kind->kind); ++i) {
                const std::string& v = f[i + 2];
                values.emplace_back(v);
                if (!decimalKnown && format.delimiter != ',' && v.find_first_of(".,") != std::string::npos) {
                    decimalKnown = true;
                    format.decimal = v.find(',') != std::string::npos ? ',' : '.';
                }
            }
            DesignData data;
            const VariantResult result = ComputeVariant(*kind, values, name, data, recorders);
            if (result.outcome == Outcome::Range) {
                RowWithoutResults(pending, format, name, kindText,
                                  "вне диапазона: " + RangeDescription(result));
            } else {
                if (result.outcome == Outcome::Method) {
                    RowWithoutResults(pending, format, name, kindText, "нет результата: " + result.reason);
                } else {
                    format.Field(pending, name, true);
                    format.Field(pending, kindText);
                    format.Field(pending, "ok");
                    const ResultSet results = Results(*kind, data);
                    for (const NamedResult& r : results) {
                        format.Number(pending, o.exact ? Exact(r.value)
                                                       : TrimBlanks(FormatFixed(r.value, 0, r.decimals)));
                    }
                    for (std::size_t i = results.count; i < 6; ++i) {
                        pending.push_back(format.delimiter);
                    }
                    pending += format.lineEnd;
                }
                if ((o.reports && result.outcome == Outcome::Ok) || o.protocols) {
                    const std::string file = names.Next(name, record.line);
                    if (o.reports && result.outcome == Outcome::Ok) {
                        text.clear();
                        AppendReport(text, *kind, data, clock);
                        const std::string path = *o.reports + "/" + file + ".txt";
                        if (!WriteFileSafely(path, text, why)) {
                            err << "heatx-calc: " << why << "\n";
                            filesFailed = true;
                        }
                    }
                    if (o.protocols) {
                        text.clear();
                        switch (kind->kind) {
                            case Kind::Evaporator:
                                AppendEvaporatorProtocol(text, data, evaporatorTrace);
                                break;
                            case Kind::Heater:
                                AppendHeaterProtocol(text, data, heaterTrace);
                                break;
                            case Kind::Cooler:
                                AppendCoolerProtocol(text, data, coolerTrace);
                                break;
                        }
                        const std::string path = *o.protocols + "/" + file + "-protocol.txt";
                        if (!WriteFileSafely(path, text, why)) {
                            err << "heatx-calc: " << why << "\n";
                            filesFailed = true;
                        }
                    }
                }
            }
        }
        if (pending.size() >= kFlushSize) {
            table.Write(pending);
        }
    }
    if (header) {
        // Not even a header row: an empty table gets the header of the result table.
        if (reader.ByteOrderMark()) {
            pending += "\xEF\xBB\xBF";
        }
        for (std::size_t i = 0; i < kHeader.size(); ++i) {
            format.Field(pending, kHeader[i], i == 0);
        }
        pending += format.lineEnd;
    }
    if (readError != 0) {
        // A table read only in part is not written as if it were whole (the temporary file goes).
        err << "heatx-calc: ошибка чтения " << *o.input << ": " << ErrnoText(readError) << "\n";
        return kExitNoInput;
    }
    table.Write(pending);
    if (!table.Finish(why)) {
        err << "heatx-calc: " << why << "\n";
        return kExitOutput;
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
