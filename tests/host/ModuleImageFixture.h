#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/ModuleImageCheck.h"
#include "support/TempDir.h"

namespace moduleimagetest {

inline std::string Bytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Copies of the real module (Quellmark.so or Quellmark.dll), cut short or
// patched, as the module file check is shown them.
class ModuleImageCheckTest : public ::testing::Test {
protected:
    // Writes `bytes` as a module file and returns what the check says of it.
    std::string Check(const std::string& bytes) {
        dir.Write(fileName, bytes);
        return sim::CheckModuleImage((dir / fileName).string()).value_or("");
    }

    // The module with `value` written over its bytes at `offset`.
    template <typename Field> std::string Patched(std::size_t offset, Field value) {
        std::string copy = module;
        std::memcpy(copy.data() + offset, &value, sizeof value);
        return copy;
    }

    // Every copy of the module cut to one of `cuts` bytes is refused, its
    // message saying `refusal` and the size it was cut to.
    void ExpectCutsRefused(const std::vector<std::size_t>& cuts, const std::string& refusal) {
        for (const std::size_t cut : cuts) {
            const std::string message = Check(module.substr(0, cut));
            EXPECT_NE(message.find(refusal), std::string::npos) << cut << " bytes: " << message;
            EXPECT_NE(message.find("but the file has " + std::to_string(cut)), std::string::npos)
                << cut << " bytes: " << message;
        }
    }

    testsupport::TempDir dir;
    const std::string module = Bytes(QUELLMARK_MODULE);
    // "module.so" or "module.dll": the messages name the copy.
    const std::string fileName =
        "module" + std::filesystem::path(QUELLMARK_MODULE).extension().string();
};

} // namespace moduleimagetest
