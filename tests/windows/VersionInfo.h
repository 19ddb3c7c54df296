#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wintest {

// A file's version resource as Windows reports it (GetFileVersionInfoW and
// VerQueryValueW), the way Explorer's Details page and installers read it.
class VersionInfo {
public:
    // Throws std::runtime_error when the file has no version resource.
    explicit VersionInfo(const std::filesystem::path& file);

    // The fixed part: four 16-bit numbers each, most significant first.
    std::vector<std::uint16_t> FileVersion() const;
    std::vector<std::uint16_t> ProductVersion() const;
    std::uint32_t FileType() const;
    // The first language and code page VarFileInfo\Translation lists.
    std::uint32_t Translation() const;
    // A value of the string table of that translation, if present.
    std::optional<std::string> Text(const std::string& name) const;

private:
    const void* Fixed() const;

    std::vector<unsigned char> data_;
};

} // namespace wintest
