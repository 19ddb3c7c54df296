#pragma once

#include <filesystem>
#include <string>

#include "Image.h"

namespace sandbox {

// The image as PNG bytes (RGB: the frames are opaque).
std::string EncodePng(const Image& image);

// Encodes and writes atomically; throws std::runtime_error naming the file.
void WritePng(const std::filesystem::path& path, const Image& image);

} // namespace sandbox
