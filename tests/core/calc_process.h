// heatx-calc run as a separate process in the tests: arguments, standard input from a text, standard
// output to a file (or to a given path such as /dev/full, or closed), exit status and both outputs.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace heatx::testing {

struct CalcRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct CalcOptions {
    std::string input;         // standard input
    std::string stdoutPath;    // empty: a temporary file read back into CalcRun::out
    bool closeStdout = false;  // standard output closed
};

inline CalcOptions In(std::string input) {
    CalcOptions o;
    o.input = std::move(input);
    return o;
}

inline CalcOptions ToPath(std::string path) {
    CalcOptions o;
    o.stdoutPath = std::move(path);
    return o;
}

inline CalcRun RunCalc(const std::vector<std::string>& args, const CalcOptions& options = {}) {
    char inName[] = "/tmp/heatx-calc-in-XXXXXX";
    char outName[] = "/tmp/heatx-calc-out-XXXXXX";
    char errName[] = "/tmp/heatx-calc-err-XXXXXX";
    const int inFd = mkstemp(inName);
    const int outFd =
        options.stdoutPath.empty() ? mkstemp(outName) : open(options.stdoutPath.c_str(), O_WRONLY);
    const int errFd = mkstemp(errName);
    if (write(inFd, options.input.data(), options.input.size()) !=
        static_cast<ssize_t>(options.input.size())) {
        return {};
    }
    lseek(inFd, 0, SEEK_SET);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inFd, 0);
    if (options.closeStdout) {
        posix_spawn_file_actions_addclose(&actions, 1);
    } else {
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    }
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<std::string> all{HEATX_CALC_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    CalcRun run;
    if (posix_spawn(&pid, HEATX_CALC_PATH, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(inFd);
    close(outFd);
    close(errFd);
    if (options.stdoutPath.empty()) {
        run.out = ReadWholeFile(outName);
        std::remove(outName);
    }
    run.err = ReadWholeFile(errName);
    std::remove(inName);
    std::remove(errName);
    return run;
}

// A fresh empty folder under /tmp, removed with its contents at the end of the scope.
class TempFolder {
  public:
    TempFolder() {
        char name[] = "/tmp/heatx-test-XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace heatx::testing
