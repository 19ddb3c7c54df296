#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "picture/Image.h"

namespace sandbox {

// The image as PNG bytes (RGB: the frames are opaque).
std::string EncodePng(const Image& image);

// Encodes and writes through the file layer (files::WriteFile: a replaced
// file changes at once or not at all). `what` names the file's role in
// messages ("output", "screenshot"); throws files::Refused or
// files::WriteFailed naming the file.
void WritePng(const std::filesystem::path& path, const Image& image, std::string_view what);

} // namespace sandbox
