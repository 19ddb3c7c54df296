#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace testsupport {

#if defined(_WIN32)
// No mkdtemp: a random name, created only if it does not exist yet.
TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("quellmark-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}
#else
TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quellmark-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    path_ = pattern;
}
#endif

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = path_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace testsupport
