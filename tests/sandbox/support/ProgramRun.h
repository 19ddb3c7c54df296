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
