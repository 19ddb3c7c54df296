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

} // namespace

std::string FrameFileName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return name;
}

PngOutput::PngOutput(const OutputPlan& plan, int frames, bool traceOnStdout, std::FILE* messages)
    : path_(plan.path), frames_(frames), folder_(frames > 1), messages_(messages) {
    std::error_code error;
    if (path_ == "-") {
        if (folder_) {
            throw InputError("--out -: standard output takes one frame; " + std::to_string(frames) +
                             " frames need a folder");
        }
        if (traceOnStdout) {
            throw InputError("--out - and --trace both want standard output; give --out a file");
        }
        single_ = std::make_unique<files::OutputFile>(path_, files::WriteRules{"output", true});
        return;
    }
    if (folder_) {
        if (path_.extension() == ".png" && !fs::is_directory(path_, error)) {
            throw InputError("--out " + path_.string() + ": " + std::to_string(frames) +
                             " frames go into a folder, not a .png file");
        }
        if (fs::exists(path_, error) && !fs::is_directory(path_, error)) {
            throw InputError("--out " + path_.string() +
                             ": several frames need a folder, and this is a file");
        }
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
        return;
    }
    if (fs::is_directory(path_, error)) {
        throw InputError("--out " + path_.string() + ": is a folder; one frame needs a file");
    }
    const fs::path parent = path_.has_parent_path() ? path_.parent_path() : ".";
    if (!fs::is_directory(parent, error)) {
        throw InputError("--out " + path_.string() + ": folder " + parent.string() +
                         " does not exist");
    }
    single_ = std::make_unique<files::OutputFile>(path_, files::WriteRules{"output", false});
}

PngOutput::~PngOutput() {
    if (finished_) {
        return;
    }
    // Innermost first; a folder is removed only while it is empty.
    std::error_code ignored;
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
        fs::remove(*folder, ignored);
    }
}

void PngOutput::Add(const Image& image) {
    ++added_;
    if (folder_) {
        WritePng(path_ / FrameFileName(added_), image, "frame");
    } else {
        single_->Write(EncodePng(image));
    }
}

void PngOutput::Finish() {
    if (!folder_) {
        single_->Commit();
        finished_ = true;
        return;
    }
    finished_ = true;
    int first = 0;
    int last = 0;
    int removed = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(path_, error)) {
        const int number = FrameNumberOf(entry.path().filename().string());
        // Only regular files of the program's own naming; a link is not followed.
        std::error_code failed;
        if (number <= frames_ || !fs::is_regular_file(fs::symlink_status(entry.path(), failed)) ||
            !fs::remove(entry.path(), failed)) {
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
