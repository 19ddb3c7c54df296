#include "files/PrivateFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "files/FileError.h"
#include "files/PathText.h"

namespace files {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLockName = "lock";

// A descriptor holding the folder's lock, or -1 when another process holds
// it (or the file cannot be opened).
int TakeLock(const fs::path& folder, bool create) {
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::open((folder / kLockName).c_str(), flags, 0600);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the folders of `prefix` left by runs that have ended: folders of
// ours, not links, whose lock file is there and held by nobody. A folder
// without its lock file may be one another run is making right now.
void RemoveAbandoned(const fs::path& temp, std::string_view prefix) {
    std::error_code failure;
    for (const fs::directory_entry& entry : fs::directory_iterator(temp, failure)) {
        const std::string name = entry.path().filename().string();
        struct stat status {};
        if (!name.starts_with(prefix) || ::lstat(entry.path().c_str(), &status) != 0 ||
            !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) {
            continue;
        }
        const int lock = TakeLock(entry.path(), false);
        if (lock >= 0) {
            fs::remove_all(entry.path(), failure);
            ::close(lock);
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
    const std::string pattern = (temp / (std::string(prefix) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        throw Refused("cannot make a private folder in '" + PathText(temp) +
                      "': " + std::strerror(errno));
    }
    path_ = name.data();
    const int lock = TakeLock(path_, true);
    if (lock < 0) {
        const std::string reason = std::strerror(errno);
        fs::remove_all(path_, failure);
        throw Refused("cannot lock the private folder '" + PathText(path_) + "': " + reason);
    }
    lock_ = lock;
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    ::close(static_cast<int>(lock_));
}

} // namespace files
