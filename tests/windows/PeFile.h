#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace wintest {

// What a Windows loader reads from a PE image file before running any of it:
// the names it exports and the DLLs it imports. Read from the file's bytes
// with bounds checked at every step, so a damaged file is an error, not a
// crash of the test.
struct PeExport {
    std::string name;
    std::uint32_t rva = 0;
    // The export points into a section the loader maps executable (code), as
    // opposed to data such as the plugin descriptor.
    bool code = false;
};

struct PeFile {
    std::uint16_t machine = 0;
    std::vector<PeExport> exports;
    std::vector<std::string> importedDlls;
};

// Throws std::runtime_error naming what is malformed.
PeFile ReadPeFile(const std::filesystem::path& path);

} // namespace wintest
