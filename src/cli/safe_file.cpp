#include "safe_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include "system_error.h"

namespace heatx::cli {

namespace {

// The temporary files in being, for the signal handler: it may run between any two instructions, so
// a slot is filled before its file is created and emptied only after the file is renamed or removed.
struct CleanupSlot {
    std::atomic<bool> active{false};
    int folder = -1;
    std::array<char, 32> name{};
};

constexpr int kSlotCount = 8;  // a batch holds at most two at a time: the table and one report
std::array<CleanupSlot, kSlotCount> gSlots;
std::array<bool, kSlotCount> gClaimed{};
constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

extern "C" void RemoveTemporaryFilesAndExit(int signal) {
    for (CleanupSlot& slot : gSlots) {
        if (slot.active.load(std::memory_order_acquire)) {
            ::unlinkat(slot.folder, slot.name.data(), 0);
        }
    }
    constexpr std::string_view kMessage = "heatx-calc: прервано сигналом, временные файлы удалены\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kMessage.data(), kMessage.size());
    ::_exit(128 + signal);
}

void InstallHandlersOnce() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFilesAndExit;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) {
        sigaddset(&action.sa_mask, s);  // one signal's cleanup is not interrupted by another's
    }
    for (int s : kSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;  // ignored by whoever started us (nohup): stays ignored
        }
        ::sigaction(s, &action, nullptr);
    }
}

int ClaimSlot() {
    for (int i = 0; i < kSlotCount; ++i) {
        if (!gClaimed[static_cast<std::size_t>(i)]) {
            gClaimed[static_cast<std::size_t>(i)] = true;
            return i;
        }
    }
    return -1;
}

void ReleaseSlot(int slot) {
    gSlots[static_cast<std::size_t>(slot)].active.store(false, std::memory_order_release);
    gClaimed[static_cast<std::size_t>(slot)] = false;
}

// ".heatx-calc-XXXXXXXX.tmp" with eight random letters and digits.
std::string TemporaryName() {
    constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, 8> random{};
    if (::getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size())) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) ^
                                  (static_cast<unsigned long long>(::getpid()) << 32);
        for (unsigned char& r : random) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            r = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name = ".heatx-calc-";
    for (unsigned char r : random) {
        name.push_back(kAlphabet[r % kAlphabet.size()]);
    }
    name += ".tmp";
    return name;
}

std::string ErrorText(int error) {
    return SystemErrorText(error);
}

// Creates a new file under a fresh temporary name in `folder` (named `folderName` in messages) and
// claims its cleanup slot, filled before the file exists so that a signal at any moment finds it.
// The file's descriptor, or -1 with `why` and no slot.
int CreateTemporary(int folder, const std::string& folderName, mode_t mode, int& slotIndex, std::string& name,
                    std::string& why) {
    InstallHandlersOnce();
    slotIndex = ClaimSlot();
    if (slotIndex < 0) {
        why = "слишком много временных файлов сразу";
        return -1;
    }
    CleanupSlot& slot = gSlots[static_cast<std::size_t>(slotIndex)];
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        name = TemporaryName();
        std::memcpy(slot.name.data(), name.c_str(), name.size() + 1);
        slot.folder = folder;
        slot.active.store(true, std::memory_order_release);
        const int fd =
            ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            return fd;
        }
        error = errno;
        slot.active.store(false, std::memory_order_release);
    }
    why = "не удаётся создать временный файл в папке " + folderName +
          (error == EEXIST ? std::string() : ": " + ErrorText(error));
    ReleaseSlot(slotIndex);
    slotIndex = -1;
    return -1;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string NotReplaced(const std::string& path, const struct stat& st) {
    if (S_ISLNK(st.st_mode)) {
        return path + " — символическая ссылка: по ссылкам файлы не записываются, укажите сам файл";
    }
    if (S_ISDIR(st.st_mode)) {
        return path + " — папка, а не файл";
    }
    return path + " — не обычный файл (устройство, канал или сокет): он не заменяется";
}

}  // namespace

SafeFile::~SafeFile() {
    Drop();
}

void SafeFile::Drop() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (slot_ >= 0) {
        ::unlinkat(folder_, temporary_.c_str(), 0);
        ReleaseSlot(slot_);
        slot_ = -1;
    }
    if (folder_ >= 0) {
        ::close(folder_);
        folder_ = -1;
    }
}

bool SafeFile::Open(const std::string& path, bool devices, std::string& why) {
    Drop();
    path_ = path;
    error_ = 0;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    final_ = slash == std::string::npos ? path : path.substr(slash + 1);
    if (final_.empty() || final_ == "." || final_ == "..") {
        why = path + " — папка, а не файл";
        return false;
    }
    // The folder is the one the user named, links in its path included; only the file's own name is
    // never followed.
    folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        why = "не удаётся открыть папку " + folder + " для записи " + path + ": " + ErrorText(errno);
        return false;
    }
    struct stat st {};
    bool keepMode = false;
    if (::fstatat(folder_, final_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (devices && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
            fd_ = ::openat(folder_, final_.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) {
                why = "не удаётся открыть " + path + ": " + ErrorText(errno);
                return false;
            }
            // Still a device or a pipe when opened (not something put in its place meanwhile).
            if (::fstat(fd_, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
                why = path + " заменён во время открытия";
                Drop();
                return false;
            }
            return true;
        }
        if (!S_ISREG(st.st_mode)) {
            why = NotReplaced(path, st);
            return false;
        }
        keepMode = true;
    } else if (errno != ENOENT) {
        why = "не удаётся открыть " + path + ": " + ErrorText(errno);
        return false;
    }

    fd_ = CreateTemporary(folder_, folder, 0666, slot_, temporary_, why);
    if (fd_ < 0) {
        Drop();
        return false;
    }
    if (keepMode) {
        ::fchmod(fd_, st.st_mode & 0777);  // the permissions, not a set-user-ID bit
    }
    return true;
}

void SafeFile::Write(std::string_view data) {
    if (error_ != 0 || fd_ < 0) {
        return;
    }
    if (!WriteAll(fd_, data)) {
        error_ = errno != 0 ? errno : EIO;
    }
}

// Gives the temporary file its final name only where no file is: atomically where the file system
// can (a rename that refuses to replace, or else a hard link), as a plain rename after a last look
// where it has neither (no hard links on a FAT disk). 0, or the errno; EEXIST when the name is taken.
int RenameWithoutReplacing(int folder, const char* from, const char* to) {
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::linkat(folder, from, folder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) {
        return errno;
    }
    struct stat st {};
    if (::fstatat(folder, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    return ::renameat(folder, from, folder, to) == 0 ? 0 : errno;
}

bool SafeFile::Commit(std::string& why) {
    return Commit(false, why);
}

bool SafeFile::Commit(bool keepExisting, std::string& why) {
    taken_ = false;
    if (fd_ < 0) {
        why = "не удаётся записать " + path_;
        Drop();
        return false;
    }
    const bool direct = slot_ < 0;
    int error = error_;
    // A device or a pipe has nothing to flush to a disk; a file has.
    if (error == 0 && !direct && ::fsync(fd_) != 0) {
        error = errno;
    }
    if (::close(fd_) != 0 && error == 0) {
        error = errno;
    }
    fd_ = -1;
    if (error == 0 && !direct) {
        // Looked at again just before the rename: whatever appeared under the final name meanwhile
        // is replaced only if it is a regular file (a rename never writes through a link).
        struct stat st {};
        if (::fstatat(folder_, final_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode)) {
            why = NotReplaced(path_, st);
            Drop();
            return false;
        }
        error = keepExisting ? RenameWithoutReplacing(folder_, temporary_.c_str(), final_.c_str())
                : ::renameat(folder_, temporary_.c_str(), folder_, final_.c_str()) == 0 ? 0
                                                                                        : errno;
        if (error == 0) {
            // The folder is not synced: after a power failure the new name may still be missing (or
            // show the old file), never a partial one; a sync of the folder per report would double
            // the time a batch with reports takes.
            ReleaseSlot(slot_);
            slot_ = -1;
        }
    }
    Drop();
    if (keepExisting && error == EEXIST) {
        taken_ = true;
        why = path_ + " появился, пока шёл расчёт: он не заменяется";
        return false;
    }
    if (error != 0) {
        why = "не удаётся записать " + path_ + ": " + ErrorText(error);
        return false;
    }
    return true;
}

bool WriteFileSafely(const std::string& path, std::string_view content, std::string& why) {
    SafeFile file;
    if (!file.Open(path, false, why)) {
        return false;
    }
    file.Write(content);
    return file.Commit(why);
}

ScratchFile::~ScratchFile() {
    if (slot_ >= 0) {
        ::unlinkat(folder_, name_.c_str(), 0);
        ReleaseSlot(slot_);
    }
    if (folder_ >= 0) {
        ::close(folder_);
    }
}

bool ScratchFile::Create(const std::string& folder, std::string& why) {
    folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        why = "не удаётся открыть папку временных файлов " + folder + ": " + ErrorText(errno);
        return false;
    }
    const int fd = CreateTemporary(folder_, folder, 0600, slot_, name_, why);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    path_ = folder + "/" + name_;
    return true;
}

}  // namespace heatx::cli
