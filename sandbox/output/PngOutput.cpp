#include "output/PngOutput.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "files/FileError.h"
#include "picture/PngFile.h"

namespace sandbox {

namespace {

namespace fs = std::filesystem;

// The frame number a file name stands for, if it is exactly a name this
// program gives a frame; 0 otherwise.
int FrameNumberOf(const std::string& name) {
    constexpr std::string_view prefix = "frame-";
    constexpr std::string_view suffix = ".png";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::string digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const int number = std::stoi(digits);
    return number > 0 && FrameFileName(number) == name ? number : 0;
}

// The frame number a file name stands for, if it is exactly the file layer's
// temporary name for a frame; 0 otherwise.
int TemporaryFrameNumberOf(const fs::path& folder, const std::string& name) {
    const std::size_t end = name.find(".png");
    if (name.size() < 2 || name[0] != '.' || end == std::string::npos) {
        return 0;
    }
    const int number = FrameNumberOf(name.substr(1, end + 3));
    return number > 0 && files::TemporaryFor(folder / FrameFileName(number)).filename() == name
               ? number
               : 0;
}

std::string KindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::symlink:
        return "a symbolic link";
    case fs::file_type::directory:
        return "a folder";
    default:
        return "not a regular file";
    }
}

} // namespace

std::string FrameFileName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return name;
}

PngOutput::PngOutput(const OutputPlan& plan, int frames, bool traceOnStdout, std::FILE* messages)
    : path_(plan.path), frames_(frames), messages_(messages) {
    std::error_code error;
    folder_ = path_ != "-" && (frames > 1 || fs::is_directory(path_, error));
    if (folder_) {
        CheckFrameNames();
        MakeFolders();
        return;
    }
    if (path_ == "-") {
        if (traceOnStdout) {
            throw InputError("--out - and --trace both want standard output; give --out a file");
        }
        single_ = std::make_unique<files::OutputFile>(path_, files::WriteRules{"output", true});
        return;
    }
    const fs::path parent = path_.has_parent_path() ? path_.parent_path() : ".";
    if (!fs::is_directory(parent, error)) {
        throw InputError("--out " + path_.string() + ": folder " + parent.string() +
                         " does not exist");
    }
    single_ = std::make_unique<files::OutputFile>(path_, files::WriteRules{"output", false});
}

fs::path PngOutput::FramePath(int frame) const {
    return path_ / FrameFileName(frame);
}

void PngOutput::CheckFrameNames() const {
    std::error_code error;
    if (!fs::exists(path_, error)) {
        return;
    }
    for (const auto& entry : fs::directory_iterator(path_, error)) {
        const int number = FrameNumberOf(entry.path().filename().string());
        if (number == 0 || number > frames_) {
            continue;
        }
        std::error_code failed;
        const fs::file_status status = entry.symlink_status(failed);
        const std::string name = "cannot write frame '" + PathText(entry.path()) + "': ";
        if (status.type() != fs::file_type::regular) {
            throw files::Refused(name + "it is " + KindOf(status.type()) +
                                 "; a frame replaces a regular file only");
        }
        constexpr fs::perms kWritable =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((status.permissions() & kWritable) == fs::perms::none) {
            throw files::Refused(name + "it is read-only; not replaced");
        }
    }
    if (error) {
        throw files::WriteFailed("cannot read the output folder '" + PathText(path_) +
                                 "': " + error.message());
    }
}

void PngOutput::MakeFolders() {
    std::error_code error;
    std::vector<fs::path> missing;
    for (fs::path folder = path_; !folder.empty() && !fs::exists(folder, error);
         folder = folder.parent_path()) {
        missing.insert(missing.begin(), folder);
    }
    for (const fs::path& folder : missing) {
        std::error_code made;
        if (!fs::create_directory(folder, made) && made) {
            throw files::WriteFailed("cannot make the output folder '" + PathText(folder) +
                                     "': " + made.message());
        }
        madeFolders_.push_back(folder);
    }
}

PngOutput::~PngOutput() {
    if (finished_) {
        return;
    }
    std::error_code ignored;
    for (int frame = 1; frame <= added_; ++frame) {
        fs::remove(files::TemporaryFor(FramePath(frame)), ignored);
    }
    // Innermost first; a folder is removed only while it is empty.
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
        fs::remove(*folder, ignored);
    }
}

void PngOutput::Add(const Image& image) {
    if (!folder_) {
        ++added_;
        single_->Write(EncodePng(image));
        return;
    }
    const fs::path temporary = files::TemporaryFor(FramePath(added_ + 1));
    // A killed run's leftover goes first, so that a link planted under the
    // name is never written through.
    std::error_code ignored;
    fs::remove(temporary, ignored);
    ++added_;
    WritePng(temporary, image, "frame");
}

void PngOutput::Finish() {
    if (!folder_) {
        single_->Commit();
        finished_ = true;
        return;
    }
    // Renames fail only for what CheckFrameNames refused beforehand, or for
    // a folder changed meanwhile.
    for (int frame = 1; frame <= added_; ++frame) {
        const fs::path target = FramePath(frame);
        std::error_code error;
        fs::rename(files::TemporaryFor(target), target, error);
        if (error) {
            throw files::WriteFailed("cannot write frame '" + PathText(target) +
                                     "': " + error.message());
        }
    }
    finished_ = true;
    RemoveStaleFrames();
}

void PngOutput::RemoveStaleFrames() const {
    int first = 0;
    int last = 0;
    int removed = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(path_, error)) {
        const std::string name = entry.path().filename().string();
        const int number = FrameNumberOf(name);
        const bool leftover = TemporaryFrameNumberOf(path_, name) > 0;
        if (number <= frames_ && !leftover) {
            continue;
        }
        // Only regular files of the program's own naming; a link is not followed.
        std::error_code failed;
        if (!fs::is_regular_file(fs::symlink_status(entry.path(), failed)) ||
            !fs::remove(entry.path(), failed) || leftover) {
            continue;
        }
        first = removed == 0 ? number : std::min(first, number);
        last = std::max(last, number);
        ++removed;
    }
    if (removed > 0) {
        std::fprintf(messages_,
                     "removed %d stale frame%s (%s%s%s) left in %s by an earlier, longer run\n",
                     removed, removed == 1 ? "" : "s", FrameFileName(first).c_str(),
                     removed == 1 ? "" : " to ", removed == 1 ? "" : FrameFileName(last).c_str(),
                     path_.string().c_str());
    }
}

} // namespace sandbox
