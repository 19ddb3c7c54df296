#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

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

} // namespace sandboxtest
