#include "files/PrivateFolder.h"

#include "files/FileError.h"
#include "files/PathText.h"
#include "files/SystemCalls.h"

namespace files {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLockName = "lock";

// Removes the folders of `prefix` left by runs that have ended: folders of
// this user's, not links, whose lock file is there and held by nobody. A
// folder without its lock file may be one another run is making right now.
void RemoveAbandoned(const fs::path& temp, std::string_view prefix) {
    std::error_code failure;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp, failure)) {
        if (!PathText(entry.path().filename()).starts_with(prefix) ||
            !system::IsOwnFolder(entry.path())) {
            continue;
        }
        const std::intptr_t lock = system::TakeLock(entry.path(), kLockName, false);
        if (lock != -1) {
            system::ReleaseLock(lock);
            fs::remove_all(entry.path(), failure);
        }
    }
}

} // namespace

PrivateFolder::PrivateFolder(std::string_view prefix) {
    std::error_code failure;
    const fs::path temp = fs::temp_directory_path(failure);
    if (failure) {
        throw Refused("no temporary folder for the run's private files: " + failure.message());
    }
    RemoveAbandoned(temp, prefix);
    std::string error;
    path_ = system::MakeUniqueFolder(temp, prefix, error);
    if (path_.empty()) {
        throw Refused("cannot make a private folder in '" + PathText(temp) + "': " + error);
    }
    lock_ = system::TakeLock(path_, kLockName, true);
    if (lock_ == -1) {
        fs::remove_all(path_, failure);
        throw Refused("cannot lock the private folder '" + PathText(path_) + "'");
    }
}

PrivateFolder::~PrivateFolder() {
    // The lock goes first: Windows removes no file that is open.
    system::ReleaseLock(lock_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace files
