#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sandboxtest {

// What a run of the program gave back.
struct RunResult {
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// A fresh directory, removed with everything in it when this goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes `text` to the file `name` inside, returning its path.
    std::filesystem::path Write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

// Runs quellmark-sandbox with `arguments`, its config directory pointed at
// `home` so no test ever reads or writes the user's own config. `wrapper`
// (e.g. xvfb-run and its options) goes in front of the program.
RunResult RunSandbox(const std::vector<std::string>& arguments, const TempDir& home,
                     const std::vector<std::string>& wrapper = {});

std::string ReadFile(const std::filesystem::path& path);

// Lines of `text` that start with `prefix`.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix);

} // namespace sandboxtest
