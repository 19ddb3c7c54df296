#include "files/PrivateFolder.h"

#include <random>

#include <windows.h>

#include "files/FileError.h"
#include "files/PathText.h"
#include "files/SystemText.h"

namespace files {

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kLockName = L"lock";

// A handle holding the folder's lock, or INVALID_HANDLE_VALUE when another
// process has it open: the file is opened sharing nothing, so a second
// opening fails while the first lives, and the system closes it when its
// process ends.
HANDLE TakeLock(const fs::path& folder, bool create) {
    return ::CreateFileW((folder / kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         create ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Removes the folders of `prefix` left by runs that have ended: folders, not
// links, whose lock file is there and opened by nobody.
void RemoveAbandoned(const fs::path& temp, std::string_view prefix) {
    std::error_code failure;
    const std::wstring widePrefix = PathFromText(std::string(prefix)).wstring();
    for (const fs::directory_entry& entry : fs::directory_iterator(temp, failure)) {
        if (!entry.path().filename().wstring().starts_with(widePrefix) ||
            entry.is_symlink(failure) || !entry.is_directory(failure)) {
            continue;
        }
        const HANDLE lock = TakeLock(entry.path(), false);
        if (lock != INVALID_HANDLE_VALUE) {
            ::CloseHandle(lock);
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
    // No mkdtemp: a random name, and create_directory, which fails rather
    // than take a folder that is already there. The user's temporary folder
    // is the user's own.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path folder = temp / PathFromText(std::string(prefix) + std::to_string(random()));
        if (fs::create_directory(folder, failure)) {
            path_ = folder;
        }
    }
    if (path_.empty()) {
        throw Refused("cannot make a private folder in '" + PathText(temp) + "'");
    }
    const HANDLE lock = TakeLock(path_, true);
    if (lock == INVALID_HANDLE_VALUE) {
        const std::string reason = SystemText(::GetLastError());
        fs::remove_all(path_, failure);
        throw Refused("cannot lock the private folder '" + PathText(path_) + "': " + reason);
    }
    lock_ = reinterpret_cast<std::intptr_t>(lock);
}

PrivateFolder::~PrivateFolder() {
    ::CloseHandle(reinterpret_cast<HANDLE>(lock_));
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace files
