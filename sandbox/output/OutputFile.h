#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sandbox {

// The one way a render's encoded output reaches the disk, written piece by
// piece as the encoder produces it. Nothing replaces the target until
// Commit; an OutputFile dropped without it leaves the target as it was.
class OutputFile {
public:
    explicit OutputFile(std::filesystem::path path);

    // Both throw std::runtime_error naming the file.
    void Write(std::string_view bytes);
    void Commit();

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    // Held until Commit, which writes it atomically in one go.
    std::string pending_;
};

} // namespace sandbox
