#include "reports/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>

#include "reports/decimal.h"

namespace heatx {

namespace {

constexpr std::string_view kHeader = "heatx-journal 1";
constexpr std::string_view kSuffix = ".journal";

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

// Makes the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (at == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

ReportJournal::~ReportJournal() {
    Keep();
}

bool ReportJournal::Begin(const std::string& folder) {
    Keep();
    failed_ = false;
    if (!MakeFolders(folder)) {
        return false;
    }
    for (int n = 1; n < 1000; ++n) {
        const std::string path =
            folder + "/report-" + std::to_string(::getpid()) + "-" + std::to_string(n) + std::string(kSuffix);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_APPEND, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        fd_ = fd;
        path_ = path;
        if (!Write(std::string(kHeader) + "\n")) {
            Discard();
            return false;
        }
        return true;
    }
    return false;
}

bool ReportJournal::Write(const std::string& record) {
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
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReportJournal::Title(std::string_view title) {
    return Write("T " + Escaped(title) + "\n");
}

bool ReportJournal::Font(std::string_view name, float points) {
    // Three decimals keep every size a font is set to (whole, half and quarter points).
    return Write("F " + ShortDecimal(static_cast<double>(points), 3) + " " + Escaped(name) + "\n");
}

bool ReportJournal::Text(std::string_view text, bool endLine) {
    return Write(std::string(endLine ? "L " : "P ") + Escaped(text) + "\n");
}

bool ReportJournal::Sync() {
    if (fd_ < 0 || failed_) {
        return false;
    }
    return ::fdatasync(fd_) == 0;
}

void ReportJournal::Discard() {
    if (fd_ < 0) {
        return;
    }
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

void ReportJournal::Keep() {
    if (fd_ < 0) {
        return;
    }
    ::fdatasync(fd_);
    ::close(fd_);
    fd_ = -1;
    path_.clear();
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
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

bool ReadJournal(const std::string& path, JournalContents& contents) {
    contents = {};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string data = whole.str();
    std::size_t at = data.find('\n');
    if (at == std::string::npos || std::string_view(data).substr(0, at) != kHeader) {
        return false;
    }
    std::string fontName = "Courier New Cyr";
    float fontSize = 9.0f;
    for (std::size_t start = at + 1; start < data.size(); start = at + 1) {
        at = data.find('\n', start);
        if (at == std::string::npos) {
            break;  // cut short when the process ended: not a whole record
        }
        const std::string_view record = std::string_view(data).substr(start, at - start);
        if (record.size() < 2 || record[1] != ' ') {
            continue;
        }
        const std::string_view body = record.substr(2);
        switch (record[0]) {
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
                break;
        }
    }
    return true;
}

bool RemoveJournal(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace heatx
