#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace files {

// A folder in the system's temporary folder that only this run uses, for
// files the run makes and removes again (the private copies of plugin
// modules). Named `prefix` and a random part; on POSIX mode 0700.
//
// The run holds a lock on a file in it for as long as it lives (a lock the
// system lets go of when the process ends, however it ends). Making a new
// folder of the same prefix removes every one whose lock nobody holds: what a
// run killed outright or crashed could not remove is gone with the next run.
class PrivateFolder {
public:
    // Throws Refused naming what could not be made.
    explicit PrivateFolder(std::string_view prefix);
    // Removes the folder and everything in it.
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    std::intptr_t lock_ = -1;
};

} // namespace files
