// What every platform shares of the file layer: a whole file read or
// written in one call, and sizes as messages say them.

#include "files/InputFile.h"
#include "files/OutputFile.h"

namespace files {

std::string ReadFile(const std::filesystem::path& path, const ReadRules& rules) {
    return InputFile(path, rules).ReadAll();
}

std::string SizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    constexpr std::uint64_t kKiB = 1024;
    if (bytes >= kMiB && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MiB";
    }
    if (bytes >= kKiB && bytes % kKiB == 0) {
        return std::to_string(bytes / kKiB) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes, const WriteRules& rules) {
    OutputFile file(path, rules);
    file.Write(bytes);
    file.Commit();
}

} // namespace files
