// The files heatx-calc batch writes, as a real process on real file systems: planted links are not
// followed, devices and pipes are not replaced, a full disk leaves no partial file under a final name
// (a small tmpfs, root only) and a signal leaves no temporary file, a workbook's scratch file included.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "calc_process.h"
#include "safe_file.h"

namespace heatx::testing {
namespace {

namespace fs = std::filesystem;

// A table of `count` cooler variants named v1, v2, ...: the template's header and reference row.
std::string Table(int count) {
    const std::string start = RunCalc({"template", "cooler"}).out;
    const std::size_t rowStart = start.find('\n') + 1;
    const std::string row = start.substr(start.find(';', rowStart));
    std::string table = start.substr(0, rowStart);
    for (int i = 1; i <= count; ++i) {
        table += 'v';
        table += std::to_string(i);
        table += row;
    }
    return table;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

bool HasTemporary(const std::string& folder) {
    for (const std::string& name : Names(folder)) {
        if (name.find(".tmp") != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(SafeFiles, PlantedLinksAreNotFollowed) {
    TempFolder folder;
    const std::string victim = folder / "victim";
    WriteWholeFile(victim, "keep");
    fs::create_directory(folder / "r");
    fs::create_directory(folder / "p");
    fs::create_symlink(victim, folder / "r/v1.txt");
    fs::create_symlink(victim, folder / "p/v1-protocol.txt");
    fs::create_symlink(victim, folder / "out.csv");
    CalcRun run =
        RunCalc({"batch", "--reports", folder / "r", "--protocol", folder / "p", "-"}, In(Table(2)));
    EXPECT_EQ(run.status, 74);
    for (const std::string link : {"r/v1.txt", "p/v1-protocol.txt"}) {
        EXPECT_TRUE(fs::is_symlink(folder / link)) << link;
        EXPECT_NE(run.err.find(link + " — символическая ссылка"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_regular_file(folder / "r/v2.txt"));  // the other variants are written
    // The table is refused before anything is computed.
    run = RunCalc({"batch", "--output", folder / "out.csv", "-"}, In(Table(2)));
    EXPECT_EQ(run.status, 74);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("out.csv — символическая ссылка"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_symlink(folder / "out.csv"));
    EXPECT_EQ(ReadWholeFile(victim), "keep");
    EXPECT_FALSE(HasTemporary(folder.Path()) || HasTemporary(folder / "r") || HasTemporary(folder / "p"));
}

TEST(SafeFiles, DevicesAndPipesAreWrittenToNotReplaced) {
    TempFolder folder;
    // A named pipe: the table reaches its reader, and the pipe stays.
    const std::string pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadWholeFile(pipe); });
    const CalcRun run = RunCalc({"batch", "--output", pipe, "-"}, In(Table(1)));
    reader.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(received.find("\nv1;"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(pipe));

    // A device node like /dev/null (made here, so that a fault cannot replace the system's own).
    const std::string null = folder / "null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "no device node can be made here (needs root)";
    }
    EXPECT_EQ(RunCalc({"batch", "--output", null, "-"}, In(Table(1))).status, 0);
    struct stat st {};
    ASSERT_EQ(::lstat(null.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, makedev(1, 3));
    EXPECT_EQ(Names(folder.Path()).size(), 2u);  // the pipe and the node, no temporary file
}

TEST(SafeFiles, FullDiskLeavesNoPartialFileUnderItsFinalName) {
    TempFolder folder;
    const std::string disk = folder / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};
    const std::string table = Table(40);  // some 240 KiB of reports and protocols for a 64 KiB disk
    const CalcRun full = RunCalc(
        {"batch", "--reports", disk + "/r", "--protocol", disk + "/p", "--output", disk + "/out.csv", "-"},
        In(table));
    EXPECT_EQ(full.status, 74);
    EXPECT_NE(full.err.find(disk), std::string::npos) << full.err;
    const CalcRun roomy = RunCalc(
        {"batch", "--reports", folder / "r", "--protocol", folder / "p", "--output", folder / "out.csv", "-"},
        In(table));
    ASSERT_EQ(roomy.status, 0) << roomy.err;
    // Whatever got a final name is whole: the same as on a disk with room (the reports' first line,
    // with the time of day, aside).
    const auto body = [](const std::string& path) {
        const std::string text = ReadWholeFile(path);
        return text.substr(std::min(text.size(), text.find('\n')));
    };
    std::size_t written = 0;
    for (const std::string sub : {"/r", "/p", ""}) {
        for (const std::string& name : Names(disk + sub)) {
            if (fs::is_directory(disk + sub + "/" + name)) {
                continue;
            }
            EXPECT_EQ(body(disk + sub + "/" + name), body(folder.Path() + sub + "/" + name)) << name;
            EXPECT_GT(fs::file_size(disk + sub + "/" + name), 0u) << name;
            ++written;
        }
        EXPECT_FALSE(HasTemporary(disk + sub));
    }
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 81u);
}

// The default result book's name is chosen free, but another run may take it before the book is whole:
// that file stays as it is and the caller is told the name was taken, with no temporary file left.
TEST(SafeFiles, AKeptNameTakenMeanwhileIsNotReplaced) {
    TempFolder folder;
    const std::string path = folder / "class-результаты.xlsx";
    heatx::cli::SafeFile file;
    std::string why;
    ASSERT_TRUE(file.Open(path, false, why)) << why;
    file.Write("ours");
    WriteWholeFile(path, "theirs");
    EXPECT_FALSE(file.Commit(true, why));
    EXPECT_TRUE(file.NameTaken());
    EXPECT_NE(why.find("не заменяется"), std::string::npos) << why;
    EXPECT_EQ(ReadWholeFile(path), "theirs");
    EXPECT_EQ(Names(folder.Path()).size(), 1u);

    ASSERT_TRUE(file.Open(folder / "class-результаты-2.xlsx", false, why)) << why;
    file.Write("ours");
    EXPECT_TRUE(file.Commit(true, why)) << why;
    EXPECT_FALSE(file.NameTaken());
    EXPECT_EQ(ReadWholeFile(folder / "class-результаты-2.xlsx"), "ours");
}

// heatx-calc batch --output reading a table from a pipe that stays open, so that it waits with its
// temporary files created (a workbook's scratch file in TMPDIR too); then the signal.
void SignalWhileWriting(int signal, const std::string& output) {
    TempFolder folder;
    TempFolder scratch;
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    std::vector<std::string> all{HEATX_CALC_PATH, "batch", "--output", folder / output, "-"};
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables{"TMPDIR=" + scratch.Path()};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string_view(*e).substr(0, 7) != "TMPDIR=") {
            variables.emplace_back(*e);
        }
    }
    std::vector<char*> env;
    for (std::string& v : variables) {
        env.push_back(v.data());
    }
    env.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, HEATX_CALC_PATH, &actions, &attributes, argv.data(), env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(input[0]);
    const std::string table = Table(1);
    ASSERT_EQ(::write(input[1], table.data(), table.size()), static_cast<ssize_t>(table.size()));
    const bool workbook = output.ends_with(".xlsx");
    const auto waiting = [&] {
        return HasTemporary(folder.Path()) && (!workbook || HasTemporary(scratch.Path()));
    };
    for (int i = 0; i < 500 && !waiting(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(waiting()) << output;
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(input[1]);
    ASSERT_TRUE(WIFEXITED(status)) << signal;
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    EXPECT_TRUE(Names(folder.Path()).empty()) << signal << " " << output;
    EXPECT_TRUE(Names(scratch.Path()).empty()) << signal << " " << output;
}

TEST(SafeFiles, SignalsRemoveTheTemporaryFiles) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SignalWhileWriting(signal, "out.csv");
    }
    SignalWhileWriting(SIGINT, "out.xlsx");
}

}  // namespace
}  // namespace heatx::testing
