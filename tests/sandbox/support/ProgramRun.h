#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace sandboxtest {

// What a run of the program gave back.
struct RunResult {
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

using testsupport::TempDir;

// Runs quellmark-sandbox with `arguments`, its config directory pointed at
// `home` so no test ever reads or writes the user's own config. `wrapper`
// (e.g. xvfb-run and its options) goes in front of the program.
RunResult RunSandbox(const std::vector<std::string>& arguments, const TempDir& home,
                     const std::vector<std::string>& wrapper = {});

// POSIX only: runs the shell `script` in `home`, with $S naming the program,
// its config directory and its temporary folder ($TMPDIR) inside `home`, as a
// user at a shell would run it: closed and broken streams, signals, files
// changed while it runs. The result is the shell's.
RunResult RunShell(const std::string& script, const TempDir& home);

// POSIX only: the program running in the background, started as a terminal
// user's shell starts a command (every signal at its default), its config
// and temporary folder inside `home`, stdout and stderr into files there.
class RunningSandbox {
public:
    RunningSandbox(const std::vector<std::string>& arguments, const TempDir& home);
    // Ends it with SIGKILL if it still runs.
    ~RunningSandbox();
    RunningSandbox(const RunningSandbox&) = delete;
    RunningSandbox& operator=(const RunningSandbox&) = delete;

    // Waits until stderr holds `text`; false after `seconds` without it, or
    // when the program ended first.
    bool WaitForMessage(const std::string& text, double seconds = 20.0);
    void Signal(int signal);
    // Waits for it to end. `status` is its exit status, or -1 when a signal
    // ended it (then `signal` says which).
    struct Ended {
        int status = -1;
        int signal = 0;
        std::string out;
        std::string err;
    };
    Ended Wait();

private:
    std::filesystem::path out_;
    std::filesystem::path err_;
    int pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
};

std::string ReadFile(const std::filesystem::path& path);

// Lines of `text` that start with `prefix`.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix);

// How many times `part` stands in `text`, not overlapping.
std::size_t Occurrences(const std::string& text, const std::string& part);

// Replaces `target` by a copy of `source` the way a build does: a new file
// renamed over the old one.
void ReplaceAsABuildDoes(const std::filesystem::path& target, const std::filesystem::path& source);

// The lines of one section ("frame 1", "load") of a trace or handle log,
// without its header: a section runs to the next "load", "unload" or
// "frame N" line.
std::vector<std::string> SectionLines(const std::string& log, const std::string& header);

} // namespace sandboxtest
