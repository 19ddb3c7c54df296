#include "output/OutputPlan.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "base/InputError.h"
#include "base/ProgramPath.h"

namespace sandbox {

namespace {

namespace fs = std::filesystem;

std::string LowerCaseExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

InputError OutError(const fs::path& path, const std::string& problem) {
    return InputError("--out " + path.string() + ": " + problem);
}

// A build without FFmpeg or libwebp (the Windows cross build) cannot write the
// format: it is bad input there, said before anything is drawn.
#ifdef QUELLMARK_MP4_OUTPUT
constexpr bool kMp4Encoder = true;
#else
constexpr bool kMp4Encoder = false;
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
constexpr bool kWebpEncoder = true;
#else
constexpr bool kWebpEncoder = false;
#endif

// The formats of one file for many frames, in the order messages name them.
struct Movie {
    const char* extension;
    OutputFormat format;
    bool built;
    const char* name;
    const char* library; // what a build without the encoder lacks
};
constexpr Movie kMovies[] = {
    {".mp4", OutputFormat::Mp4, kMp4Encoder, "MP4", "FFmpeg"},
    {".webp", OutputFormat::Webp, kWebpEncoder, "WebP", "libwebp"},
};

// "f90.mp4 or f90.webp": the movies this build writes, named after `stem`.
std::string MovieNames(const std::string& stem) {
    std::string names;
    for (const Movie& movie : kMovies) {
        if (movie.built) {
            names += (names.empty() ? "" : " or ") + stem + movie.extension;
        }
    }
    return names;
}

// Says where `frames` frames go, since `path` takes one frame only.
InputError NoPlaceForFrames(const fs::path& path, int frames, const std::string& problem) {
    const bool png = LowerCaseExtension(path) == ".png";
    const std::string stem = path == "-" ? "NAME" : fs::path(path).replace_extension().string();
    const std::string movies = MovieNames(stem);
    return OutError(path, problem + "; " + std::to_string(frames) + " frames go into a folder" +
                              (png ? " (" + stem + ")" : "") +
                              (movies.empty() ? "" : " or a video (" + movies + ")"));
}

// The PNG target several frames go to must be a folder, or nothing yet.
void CheckFramesFolder(const fs::path& path, int frames) {
    std::error_code error;
    if (frames <= 1 || fs::is_directory(path, error)) {
        return;
    }
    if (path == "-") {
        throw NoPlaceForFrames(path, frames, "standard output takes one frame");
    }
    if (LowerCaseExtension(path) == ".png") {
        throw NoPlaceForFrames(path, frames, "a .png file takes one frame");
    }
    if (fs::exists(path, error)) {
        throw NoPlaceForFrames(path, frames, "it is not a folder");
    }
}

} // namespace

std::string OutputFormatList() {
    std::string list = "NAME.png, ";
    for (const Movie& movie : kMovies) {
        if (movie.built) {
            list += std::string("NAME") + movie.extension + ", ";
        }
    }
    return list + "a folder, or - for standard output";
}

OutputPlan PlanOutput(const std::optional<std::string>& out, int frames) {
    OutputPlan plan;
    plan.path = PathFromText(out.value_or(frames > 1 ? "quellmark-frames" : "quellmark.png"));
    std::error_code error;
    const std::string extension = LowerCaseExtension(plan.path);
    const Movie* movie = std::find_if(std::begin(kMovies), std::end(kMovies),
                                      [&](const Movie& m) { return extension == m.extension; });
    const fs::file_type type = fs::status(plan.path, error).type();
    // A folder holds frames whatever its name; a pipe or a device named as it
    // happens to be takes the PNG.
    if (plan.path == "-" || extension.empty() || extension == ".png" ||
        type == fs::file_type::directory ||
        (movie == std::end(kMovies) &&
         (type == fs::file_type::fifo || type == fs::file_type::character))) {
        CheckFramesFolder(plan.path, frames);
        plan.format = OutputFormat::Png;
        return plan;
    }
    if (movie == std::end(kMovies)) {
        throw OutError(plan.path, "unknown format '" + extension + "': use " + OutputFormatList());
    }
    if (!movie->built) {
        throw OutError(plan.path, std::string("this build of quellmark-sandbox has no ") +
                                      movie->name + " encoder (built without " + movie->library +
                                      ")");
    }
    plan.format = movie->format;
    const fs::path parent = plan.path.has_parent_path() ? plan.path.parent_path() : ".";
    if (!fs::is_directory(parent, error)) {
        throw OutError(plan.path, "folder " + parent.string() + " does not exist");
    }
    return plan;
}

} // namespace sandbox
