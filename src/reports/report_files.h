// Report files on a desktop file system: folders checked (and made) before a report is planned there,
// free names that never replace a file, a report written whole or not at all, and the temporary files
// of a run that was killed while saving cleaned up. Plain POSIX calls, no windowing library.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace heatx {

// Why a file cannot be written, in the student's words ("на диске нет места").
std::string WriteErrorText(int error);

// The folder part of a path ("/a/b" for "/a/b/c.pdf"; "." for a bare name).
std::string FolderOfPath(const std::string& path);

// Makes the folder and its parents (mode 0700); true when it is a folder afterwards (errno says why
// not).
bool MakeFolderPath(const std::string& folder);

// Why report files cannot be written into the folder, as a whole Russian sentence; empty when they
// can. With create, a missing folder is made first (with its parents). A path that exists but is no
// folder (a file, a device such as /dev/full, a link to one) is told as such.
std::string FolderProblem(const std::string& folder, bool create);

// "FILE.pdf" for number 1, "FILE-2.pdf", "FILE-3.pdf"... for the next ones.
std::string NumberedPath(const std::string& path, int number);

// Renames without ever replacing an existing name; -1 with errno EEXIST when the name is taken, and
// EINVAL, ENOSYS or ENOTSUP where the system or the file system has no such rename.
int RenameWithoutReplacing(const std::string& from, const std::string& to);

// The first of FILE, FILE-2, FILE-3... that names nothing yet (a dangling link counts as a name).
std::string FirstFreeName(const std::string& base);

// A fingerprint of a report's bytes: their number and a 64-bit hash. Marks a saved report in its
// journal so that a later start can tell whether the file it names is that report.
struct ContentPrint {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const ContentPrint&) const = default;
};
ContentPrint PrintOf(std::string_view bytes);

// Whether the regular file at path holds exactly the bytes of the fingerprint (read only when its
// size matches).
bool FileHolds(const std::string& path, const ContentPrint& print);

// Called with the name a report is about to get, after its bytes are on the disk and before the name
// is given; false stops the save (nothing is left behind).
using BeforeNaming = std::function<bool(const std::string& finalPath)>;

// Writes the bytes whole under the first free name of base: to a locked temporary file
// ".heatx-report-PID-N.part" in the same folder, every write and the close checked, flushed to the
// disk, then given the name without replacing anything. On failure nothing is left behind and
// reason says why (the WriteErrorText of the failure).
bool WriteWholeFile(const std::string& base, std::string_view bytes, const BeforeNaming& beforeNaming,
                    std::string& finalPath, std::string& reason);

// Removes the temporary files of reports in the folder that no running program is writing (a run
// killed while saving left them). Returns how many were removed.
int RemoveStaleReportParts(const std::string& folder);

}  // namespace heatx
