#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

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

} // namespace testsupport
