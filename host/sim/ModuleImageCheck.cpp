#include "sim/ModuleImageCheck.h"

#include "files/FileError.h"
#include "files/PathText.h"
#include "sim/ModuleImageFormat.h"

namespace sim {

namespace image {

std::string Truncated(std::string_view partEnds, std::string_view end, std::uint64_t size) {
    return "truncated: " + std::string(partEnds) + " at byte " + std::string(end) +
           " but the file has " + std::to_string(size);
}

std::string Truncated(std::string_view partEnds, std::uint64_t end, std::uint64_t size) {
    return Truncated(partEnds, std::to_string(end), size);
}

Table ReadTable(files::InputFile& file, std::uint64_t offset, std::uint64_t length,
                std::string_view partEnds) {
    const std::uint64_t size = file.Size();
    if (offset > size || length > size - offset) {
        return {{}, Truncated(partEnds, offset + length, size)};
    }
    Table table{file.ReadAt(offset, length), std::nullopt};
    if (table.bytes.size() != length) {
        table.problem = "truncated while it was read";
    }
    return table;
}

} // namespace image

std::optional<std::string> CheckModuleImage(const std::string& path) {
    try {
        // Only the headers are read; the limit is for the file's whole size,
        // which a module never comes near.
        files::InputFile file(files::PathFromText(path), {"module", std::uint64_t(1) << 32, false});
        if (auto problem = image::CheckFormat(file)) {
            return "cannot load module '" + path + "': " + *problem;
        }
        return std::nullopt;
    } catch (const files::Error& error) {
        return std::string(error.what());
    }
}

} // namespace sim
