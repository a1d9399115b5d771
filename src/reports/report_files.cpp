#include "reports/report_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

namespace heatx {

namespace {

constexpr std::string_view kPartPrefix = ".heatx-report-";
constexpr std::string_view kPartSuffix = ".part";

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Gives the temporary file the first free name of FILE, FILE-2... without ever replacing a file; the
// hook hears each name before it is given.
bool LinkUnderFreeName(const std::string& temporary, const std::string& base,
                       const BeforeNaming& beforeNaming, std::string& finalPath) {
    for (int n = 1; n < 100000; ++n) {
        const std::string path = NumberedPath(base, n);
        if (Exists(path)) {
            continue;
        }
        if (beforeNaming && !beforeNaming(path)) {
            errno = EIO;
            return false;
        }
        if (RenameWithoutReplacing(temporary, path) == 0) {
            finalPath = path;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            return false;
        }
        // A file system without the no-replace rename: a hard link fails on an existing name too.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            finalPath = path;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        // Neither (e.g. a FAT memory stick): the name was checked just before.
        if (::rename(temporary.c_str(), path.c_str()) == 0) {
            finalPath = path;
            return true;
        }
        return false;
    }
    errno = EEXIST;
    return false;
}

bool ProcessAlive(long pid) {
    if (pid <= 0) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::string WriteErrorText(int error) {
    switch (error) {
        case ENOSPC:
            return "на диске нет места";
        case EDQUOT:
            return "исчерпана квота диска";
        case EROFS:
            return "диск доступен только для чтения";
        case EACCES:
        case EPERM:
            return "нет права на запись";
        case ENOENT:
            return "папка не существует";
        case ENOTDIR:
            return "в пути есть файл, а не папка";
        case EIO:
            return "ошибка ввода-вывода";
        case EFBIG:
            return "файл слишком велик";
        default:
            return "ошибка записи (код " + std::to_string(error) + ")";
    }
}

int RenameWithoutReplacing(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
#else
    (void)from;
    (void)to;
    errno = ENOSYS;
    return -1;
#endif
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool MakeFolderPath(const std::string& folder) {
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
    if (::stat(folder.c_str(), &info) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::string FolderProblem(const std::string& folder, bool create) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            return "Путь " + folder + " ведёт не к папке, а к " +
                   (S_ISREG(info.st_mode) ? std::string("файлу") : std::string("устройству")) + ".";
        }
    } else if (!create) {
        return "Папка " + folder + " не существует.";
    } else if (!MakeFolderPath(folder)) {
        return "Папку " + folder + " не удалось создать: " + WriteErrorText(errno) + ".";
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "В папку " + folder + " нельзя записать файл: " + WriteErrorText(errno) + ".";
    }
    return std::string();
}

std::string NumberedPath(const std::string& path, int number) {
    if (number <= 1) {
        return path;
    }
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

std::string FirstFreeName(const std::string& base) {
    for (int n = 1;; ++n) {
        const std::string path = NumberedPath(base, n);
        if (!Exists(path) || n > 100000) {
            return path;
        }
    }
}

ContentPrint PrintOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char ch : bytes) {
        hash = (hash ^ ch) * 1099511628211ull;
    }
    return ContentPrint{bytes.size(), hash};
}

bool FileHolds(const std::string& path, const ContentPrint& print) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) != print.size) {
        ::close(fd);
        return false;
    }
    std::string bytes(static_cast<std::size_t>(print.size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == bytes.size() && PrintOf(bytes) == print;
}

bool WriteWholeFile(const std::string& base, std::string_view bytes, const BeforeNaming& beforeNaming,
                    std::string& finalPath, std::string& reason) {
    const std::string folder = FolderOfPath(base);
    std::string temporary;
    int fd = -1;
    for (int n = 0; n < 100 && fd < 0; ++n) {
        temporary = folder + "/" + std::string(kPartPrefix) + std::to_string(::getpid()) + "-" +
                    std::to_string(n) + std::string(kPartSuffix);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        reason = WriteErrorText(errno);
        return false;
    }
    // Held while it is written: a start that cleans stale temporary files leaves it alone.
    ::flock(fd, LOCK_EX | LOCK_NB);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (ok && !LinkUnderFreeName(temporary, base, beforeNaming, finalPath)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    if (::close(fd) != 0 && ok) {
        // The file is whole on the disk (it was flushed): a failing close changes nothing in it.
    }
    if (!ok) {
        reason = WriteErrorText(error);
        return false;
    }
    // The new name itself reaches the disk too.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

int RemoveStaleReportParts(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(kPartPrefix) || !name.ends_with(kPartSuffix)) {
            continue;
        }
        // ".heatx-report-PID-N.part": the program that wrote it.
        const std::string_view rest = name.substr(kPartPrefix.size());
        long pid = 0;
        for (char ch : rest.substr(0, rest.find('-'))) {
            if (ch < '0' || ch > '9') {
                pid = -1;
                break;
            }
            pid = pid * 10 + (ch - '0');
            if (pid > 1000000000) {
                break;
            }
        }
        if (pid <= 0 || pid == ::getpid() || ProcessAlive(pid)) {
            continue;
        }
        const std::string path = folder + "/" + std::string(name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat info {};
        const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

}  // namespace heatx
