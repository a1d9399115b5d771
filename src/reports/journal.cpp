#include "reports/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "reports/decimal.h"

namespace heatx {

namespace {

constexpr std::string_view kHeader = "heatx-journal 1";
constexpr std::string_view kSuffix = ".journal";
// What a start reads of one journal: a report of hundreds of presses, far more than a lesson prints.
constexpr std::size_t kReadLimit = 1 << 20;

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

constexpr std::string_view kHiddenSuffix = ".journal.new";
constexpr std::string_view kAsideSuffix = ".damaged";

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Reads at most limit bytes of the descriptor; whole is false when there was more.
bool ReadBounded(int fd, std::size_t limit, std::string& bytes, bool& whole) {
    bytes.clear();
    whole = true;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        const std::size_t room = limit - bytes.size();
        if (static_cast<std::size_t>(n) > room) {
            bytes.append(buffer, room);
            whole = false;
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::uint64_t ParseNumber(std::string_view text, int base, bool& ok) {
    std::uint64_t value = 0;
    ok = !text.empty();
    for (char ch : text) {
        int digit = -1;
        if (ch >= '0' && ch <= '9') {
            digit = ch - '0';
        } else if (base == 16 && ch >= 'a' && ch <= 'f') {
            digit = ch - 'a' + 10;
        }
        if (digit < 0) {
            ok = false;
            return 0;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    return value;
}

}  // namespace

// ---- Records ------------------------------------------------------------------------------------------

std::string JournalHeaderRecord() {
    return std::string(kHeader) + "\n";
}

std::string JournalTitleRecord(std::string_view title) {
    return "T " + Escaped(title) + "\n";
}

std::string JournalFontRecord(std::string_view name, float points) {
    // Three decimals keep every size a font is set to (whole, half and quarter points).
    return "F " + ShortDecimal(static_cast<double>(points), 3) + " " + Escaped(name) + "\n";
}

std::string JournalTextRecord(std::string_view text, bool endLine) {
    return std::string(endLine ? "L " : "P ") + Escaped(text) + "\n";
}

std::string JournalSavedFileRecord(const std::string& path, const ContentPrint& print) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%llu %llx", static_cast<unsigned long long>(print.size),
                  static_cast<unsigned long long>(print.hash));
    return std::string("S file ") + numbers + " " + Escaped(path) + "\n";
}

std::string JournalSavedPrinterRecord(const std::string& printer) {
    return "S printer " + Escaped(printer) + "\n";
}

// ---- A journal in a folder -----------------------------------------------------------------------------

ReportJournal::~ReportJournal() {
    Keep();
}

bool ReportJournal::Begin(const std::string& folder) {
    Keep();
    failed_ = false;
    failure_.clear();
    if (!MakeFolderPath(folder)) {
        failure_ = "папку " + folder + " не удалось создать: " + WriteErrorText(errno);
        return false;
    }
    const std::string stem = folder + "/report-" + std::to_string(::getpid()) + "-";
    for (int n = 1; n < 1000; ++n) {
        const std::string path = stem + std::to_string(n) + std::string(kSuffix);
        if (Exists(path)) {
            continue;
        }
        // Made, locked and given its header under a name no start looks for; only then linked to the
        // name of a journal, so that no start ever finds it unheld or empty.
        const std::string hidden = folder + "/.report-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(n) + std::string(kHiddenSuffix);
        ::unlink(hidden.c_str());
        const int fd =
            ::open(hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_APPEND | O_NOFOLLOW, 0600);
        if (fd < 0) {
            failure_ = WriteErrorText(errno);
            return false;
        }
        fd_ = fd;
        path_ = hidden;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !Append(JournalHeaderRecord())) {
            if (failure_.empty()) {
                failure_ = WriteErrorText(errno);
            }
            Remove();
            return false;
        }
        int linked = ::link(hidden.c_str(), path.c_str());
        if (linked != 0 && errno != EEXIST) {
            // A file system without hard links: the name was checked just before.
            linked = RenameWithoutReplacing(hidden, path);
            if (linked != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) && !Exists(path)) {
                linked = ::rename(hidden.c_str(), path.c_str());
            }
        }
        if (linked != 0) {
            const int error = errno;
            Remove();
            if (error == EEXIST) {
                continue;
            }
            failure_ = WriteErrorText(error);
            return false;
        }
        ::unlink(hidden.c_str());
        path_ = path;
        return true;
    }
    failure_ = WriteErrorText(EEXIST);
    return false;
}

bool ReportJournal::Claim(const std::string& path, std::size_t limit, std::string& bytes, bool& whole) {
    Keep();
    failed_ = false;
    failure_.clear();
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return false;  // gone, or a pipe, a device or a link named like a journal: never opened
    }
    int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        failed_ = true;  // read-only: it can be recovered but not marked
        failure_ = WriteErrorText(EROFS);
    }
    if (fd < 0) {
        return false;
    }
    struct stat opened {};
    struct stat now {};
    // Held by its program or by another start recovering it; or recovered and removed meanwhile.
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::lstat(path.c_str(), &now) != 0 || now.st_ino != opened.st_ino || now.st_dev != opened.st_dev) {
        ::close(fd);
        return false;
    }
    if (!ReadBounded(fd, limit, bytes, whole)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    return true;
}

bool ReportJournal::Append(std::string_view record) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = ::write(fd_, record.data() + done, record.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            failure_ = WriteErrorText(n == 0 ? EIO : errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReportJournal::Sync() {
    if (fd_ < 0 || failed_) {
        return false;
    }
    if (::fdatasync(fd_) != 0) {
        failed_ = true;
        failure_ = WriteErrorText(errno);
        return false;
    }
    return true;
}

void ReportJournal::Close() {
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

void ReportJournal::Remove() {
    if (fd_ < 0) {
        return;
    }
    // Unlinked while still held: no start can take it between the two.
    ::unlink(path_.c_str());
    Close();
}

void ReportJournal::Keep() {
    if (fd_ < 0) {
        return;
    }
    if (!failed_) {
        ::fdatasync(fd_);
    }
    Close();
}

std::string ReportJournal::SetAside() {
    if (fd_ < 0) {
        return std::string();
    }
    std::string aside;
    for (int n = 1; n < 1000 && aside.empty(); ++n) {
        const std::string candidate = NumberedPath(path_ + std::string(kAsideSuffix), n);
        if (RenameWithoutReplacing(path_, candidate) == 0) {
            aside = candidate;
        } else if (errno != EEXIST) {
            if ((errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) && !Exists(candidate) &&
                ::rename(path_.c_str(), candidate.c_str()) == 0) {
                aside = candidate;
            }
            break;
        }
    }
    Close();
    return aside;
}

// ---- Journals in folders -------------------------------------------------------------------------------

std::unique_ptr<JournalHandle> FolderJournalStore::Create(std::size_t firstPlace, std::size_t& place,
                                                          std::string& reason) {
    for (std::size_t i = firstPlace; i < folders_.size(); ++i) {
        auto journal = std::make_unique<ReportJournal>();
        if (journal->Begin(folders_[i])) {
            place = i;
            return journal;
        }
        reason += (reason.empty() ? "" : "; ") + folders_[i] + ": " + journal->Failure();
    }
    return nullptr;
}

std::vector<std::string> FolderJournalStore::Journals() {
    std::vector<std::string> found;
    for (const std::string& folder : folders_) {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            continue;
        }
        std::vector<std::string> here;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.starts_with("report-") && EndsWith(name, kSuffix)) {
                here.push_back(folder + "/" + name);
            } else if (name.starts_with(".report-") && EndsWith(name, kHiddenSuffix)) {
                // A journal whose creation was cut short holds its header at most: removed unless its
                // program still makes it.
                // Its program may be between making and locking it: left alone while that program lives.
                const long pid = std::strtol(name.c_str() + 8, nullptr, 10);
                if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) {
                    continue;
                }
                const std::string path = folder + "/" + name;
                const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
                if (fd >= 0) {
                    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                        ::unlink(path.c_str());
                    }
                    ::close(fd);
                }
            }
        }
        ::closedir(dir);
        std::sort(here.begin(), here.end());
        found.insert(found.end(), here.begin(), here.end());
    }
    return found;
}

std::unique_ptr<JournalHandle> FolderJournalStore::Claim(const std::string& name, std::size_t limit,
                                                         std::string& bytes, bool& whole) {
    auto journal = std::make_unique<ReportJournal>();
    if (!journal->Claim(name, limit, bytes, whole)) {
        return nullptr;
    }
    return journal;
}

std::vector<std::string> OrphanedJournals(const std::string& folder) {
    std::vector<std::string> found;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.starts_with("report-") && EndsWith(name, kSuffix)) {
            found.push_back(folder + "/" + name);
        }
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    std::erase_if(found, [](const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return true;
        }
        // A journal whose program still runs is locked by it.
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return held;
    });
    return found;
}

bool ParseJournal(std::string_view data, JournalContents& contents) {
    contents = {};
    std::size_t at = data.find('\n');
    const bool headed = at != std::string_view::npos && data.substr(0, at) == kHeader;
    if (!headed) {
        contents.whole = false;
        // The records after the first line end, whatever took the header's place.
    }
    std::string fontName = "Courier New Cyr";
    float fontSize = 9.0f;
    for (std::size_t start = at == std::string_view::npos ? data.size() : at + 1; start < data.size();
         start = at + 1) {
        at = data.find('\n', start);
        if (at == std::string_view::npos) {
            contents.whole = false;  // cut short when the process ended: not a whole record
            break;
        }
        std::string_view record = data.substr(start, at - start);
        if (record.ends_with('\r')) {
            // A line end the program does not write: the file was changed after it was written.
            record.remove_suffix(1);
            contents.whole = false;
        }
        if (record.size() < 2 || record[1] != ' ') {
            contents.whole = false;
            continue;
        }
        const std::string_view body = record.substr(2);
        switch (record[0]) {
            case 'S': {
                JournalSavedMark mark;
                if (body.starts_with("printer ")) {
                    mark.printer = true;
                    mark.where = Unescaped(body.substr(8));
                    contents.saved.push_back(mark);
                    break;
                }
                // "file <size> <hash> <path>"
                const std::size_t sizeEnd = body.find(' ', 5);
                const std::size_t hashEnd =
                    sizeEnd == std::string_view::npos ? sizeEnd : body.find(' ', sizeEnd + 1);
                bool sizeOk = false;
                bool hashOk = false;
                if (body.starts_with("file ") && hashEnd != std::string_view::npos) {
                    mark.print.size = ParseNumber(body.substr(5, sizeEnd - 5), 10, sizeOk);
                    mark.print.hash =
                        ParseNumber(body.substr(sizeEnd + 1, hashEnd - sizeEnd - 1), 16, hashOk);
                }
                if (!sizeOk || !hashOk) {
                    contents.whole = false;
                    break;
                }
                mark.where = Unescaped(body.substr(hashEnd + 1));
                contents.saved.push_back(mark);
                break;
            }
            case 'T':
                contents.title = Unescaped(body);
                break;
            case 'F': {
                const std::size_t blank = body.find(' ');
                if (blank == std::string_view::npos) {
                    break;
                }
                // A journal written under a locale with a decimal comma has "7,5".
                const std::optional<float> size = ReadDecimal(body.substr(0, blank));
                if (size && *size > 0.0f && *size < 100.0f) {
                    fontSize = *size;
                }
                fontName = Unescaped(body.substr(blank + 1));
                break;
            }
            case 'P':
            case 'L':
                contents.texts.push_back(JournalText{Unescaped(body), record[0] == 'L', fontName, fontSize});
                break;
            default:
                contents.whole = false;
                break;
        }
    }
    return headed;
}

bool ReadJournal(const std::string& path, JournalContents& contents) {
    contents = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    std::string bytes;
    bool whole = true;
    const bool read =
        ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadBounded(fd, kReadLimit, bytes, whole);
    ::close(fd);
    if (!read) {
        return false;
    }
    const bool headed = ParseJournal(bytes, contents);
    contents.whole = contents.whole && whole;
    return headed;
}

bool RemoveJournal(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace heatx
