#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "files/FileError.h"

namespace filestest {

#ifndef _WIN32
// The file's own mode (a link's, not its target's); 0 when it is missing.
inline mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}
#endif

inline std::string Content(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every name in a folder, hidden ones too.
inline std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Runs `action`, expecting it to throw `Expected` (files::Refused or
// files::WriteFailed, not merely any files::Error) with every one of
// `mentioned` in its message.
template <typename Expected>
void ExpectFailure(const std::function<void()>& action,
                   std::initializer_list<std::string> mentioned) {
    try {
        action();
        ADD_FAILURE() << "no failure";
    } catch (const Expected& error) {
        for (const std::string& text : mentioned) {
            EXPECT_NE(std::string(error.what()).find(text), std::string::npos)
                << "the message should mention '" << text << "': " << error.what();
        }
    } catch (const files::Error& error) {
        ADD_FAILURE() << "failed as the other kind of error: " << error.what();
    }
}

} // namespace filestest
