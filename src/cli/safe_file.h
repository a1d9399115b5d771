// Files heatx-calc writes (the result table of --output, the reports and protocols of a batch): a
// file appears under its final name only when it is whole, and nothing but a regular file is ever
// replaced.
//
// - The content goes to a temporary file in the same folder (".heatx-calc-XXXXXXXX.tmp", created
//   exclusively, never through a link), is flushed to the disk and renamed over the final name. A
//   failed write (a full disk) removes the temporary file and leaves the final name as it was.
// - The final name is looked at without following links: a regular file or no file is replaced; a
//   symbolic link, a folder, a block device or a socket is refused with a message, whatever it points
//   to. Only where `devices` is allowed (--output) a character device or a FIFO (/dev/null, a named
//   pipe) is written to directly, as a shell redirection would: it is not replaced, and it is not a
//   file that could be left half written.
// - A replaced regular file keeps its read, write and execute permissions; a new file gets 0666
//   less the umask.
// - SIGTERM, SIGINT and SIGHUP remove the temporary files still open and end the program with the
//   status 128 + the signal's number (a signal the caller ignores stays ignored).
#pragma once

#include <string>
#include <string_view>

namespace heatx::cli {

class SafeFile {
  public:
    SafeFile() = default;
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;
    ~SafeFile();  // an uncommitted file is dropped

    // Prepares to write `path`. False with `why` (Russian, naming the path) when it cannot be written.
    bool Open(const std::string& path, bool devices, std::string& why);
    // Appends; after a failure every later write is skipped and Commit reports the first error.
    void Write(std::string_view data);
    // Flushes, closes and renames the file into place. False with `why` when the file could not be
    // completed; the temporary file is gone either way.
    bool Commit(std::string& why);
    // With `keepExisting`, Commit never replaces a file: when something has taken the final name since
    // Open, it fails and NameTaken() tells so (the caller may choose another name).
    bool Commit(bool keepExisting, std::string& why);
    bool NameTaken() const { return taken_; }

  private:
    void Drop();

    std::string path_;
    int folder_ = -1;
    int fd_ = -1;
    int slot_ = -1;  // the signal cleanup's slot of the temporary file, -1 when writing directly
    std::string temporary_;
    std::string final_;   // the final name within the folder
    int error_ = 0;       // the first failed write's errno
    bool taken_ = false;  // the last Commit found the final name taken
};

// A private scratch file in a folder (a workbook the library writes whole before it is copied into
// place): made exclusively with mode 0600 under the same kind of temporary name, and removed when the
// object ends or by the same signal cleanup.
class ScratchFile {
  public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile();

    // False with `why` (Russian, naming the folder) when no file can be made there.
    bool Create(const std::string& folder, std::string& why);
    const std::string& Path() const { return path_; }

  private:
    int folder_ = -1;
    int slot_ = -1;
    std::string name_;  // within the folder
    std::string path_;
};

// A whole file written at once by the rules above (no devices): false with `why` when it could not.
bool WriteFileSafely(const std::string& path, std::string_view content, std::string& why);

}  // namespace heatx::cli
