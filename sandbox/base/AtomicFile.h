#pragma once

#include <filesystem>
#include <string_view>

namespace sandbox {

// Replaces `path` with `bytes` through a temporary file in the same directory
// and a rename, so a reader sees the old file or the new one, never a part,
// and a failed write leaves the old file as it was. Throws std::runtime_error
// naming the file on failure.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace sandbox
