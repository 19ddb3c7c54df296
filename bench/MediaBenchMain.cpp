// quellmark-media-bench: how fast `render` writes the embedded default at
// 1280x720 into each output format, the most memory each run takes, and
// where the time goes; then the old PNG writer's time for one frame beside
// the one render uses now. Each format runs in a child process of its own,
// so its peak memory is its own.
//
// Elapsed times grow when other programs share the processors; the CPU
// times of the drawing and encoding threads do not, and the busier of the
// two gives the frame rate the machine allows when nothing else runs.
//
// usage: quellmark-media-bench [--frames N] [--keep DIR]
// Exit status 1 when a target is missed (or a run failed), 2 for bad usage.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <stb/stb_image_write.h>

#include "MediaRun.h"
#include "base/ThreadCpuTime.h"
#include "picture/PngFile.h"

namespace {

namespace fs = std::filesystem;

struct Format {
    const char* name;
    const char* out;   // file or folder name; its extension picks the format
    double minimumFps; // 0: no target
};

constexpr Format kFormats[] = {
    {"png", "frames", 60.0},
    {"mp4", "run.mp4", 100.0},
    {"webp", "run.webp", 0.0},
};
constexpr double kMaximumPeakMegabytes = 100.0;

struct ChildResult {
    bool ok = false;
    std::string error;
    MediaRun run;
    double peakMegabytes = 0.0;
};

// Runs the render in a child and reads its figures back through a pipe.
ChildResult RunInChild(const Format& format, const fs::path& folder, int frames) {
    ChildResult result;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        result.error = "no pipe";
        return result;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        char line[512];
        try {
            const MediaRun run = RenderDefault(QUELLMARK_MODULE_PATH, folder / format.out, frames);
            std::snprintf(line, sizeof line, "ok %d %.9g %.9g %.9g %.9g %.9g %.9g %.9g %ju\n",
                          run.frames, run.times.total, run.times.simulation, run.times.drawing,
                          run.times.encoding, run.times.waiting, run.times.drawingCpu,
                          run.times.encodingCpu, run.bytes);
        } catch (const std::exception& error) {
            std::snprintf(line, sizeof line, "error %s\n", error.what());
        }
        const ssize_t written = ::write(pipeEnds[1], line, std::char_traits<char>::length(line));
        ::_exit(written > 0 ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, std::size_t(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
        result.error = "could not run the child";
        return result;
    }
    result.peakMegabytes = double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
    MediaRun& run = result.run;
    std::uintmax_t bytes = 0;
    if (std::sscanf(text.c_str(), "ok %d %lf %lf %lf %lf %lf %lf %lf %ju", &run.frames,
                    &run.times.total, &run.times.simulation, &run.times.drawing,
                    &run.times.encoding, &run.times.waiting, &run.times.drawingCpu,
                    &run.times.encodingCpu, &bytes) == 9) {
        run.bytes = bytes;
        result.ok = true;
    } else {
        result.error = text.empty() ? "the child died (status " + std::to_string(status) + ")"
                                    : text.substr(0, text.find('\n'));
    }
    return result;
}

struct Timing {
    double elapsed = 0.0; // milliseconds, medians
    double cpu = 0.0;
};

template <typename Encode> Timing MedianMilliseconds(int repetitions, Encode encode) {
    std::vector<double> elapsed;
    std::vector<double> cpu;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = sandbox::ThreadCpuSeconds();
        encode();
        cpu.push_back((sandbox::ThreadCpuSeconds() - cpuStart) * 1000.0);
        elapsed.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(elapsed.begin(), elapsed.end());
    std::sort(cpu.begin(), cpu.end());
    return {elapsed[elapsed.size() / 2], cpu[cpu.size() / 2]};
}

void AppendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
}

// The writer render used before, with its settings then: stb_image_write,
// RGB, its default compression.
std::string EncodeWithStb(const sandbox::Image& image) {
    std::vector<unsigned char> rgb;
    rgb.reserve(std::size_t(image.width) * image.height * 3);
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        rgb.insert(rgb.end(), image.rgba.begin() + i, image.rgba.begin() + i + 3);
    }
    std::string bytes;
    stbi_write_png_to_func(AppendBytes, &bytes, image.width, image.height, 3, rgb.data(),
                           image.width * 3);
    return bytes;
}

struct Arguments {
    int frames = 1000;
    std::string keep;
};

// Nothing when the command line is refused, after saying so.
std::optional<Arguments> ReadArguments(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames" && i + 1 < argc) {
            arguments.frames = std::atoi(argv[++i]);
        } else if (argument == "--keep" && i + 1 < argc) {
            arguments.keep = argv[++i];
        } else {
            std::fprintf(stderr, "usage: quellmark-media-bench [--frames N] [--keep DIR]\n");
            return std::nullopt;
        }
    }
    if (arguments.frames < 1 || arguments.frames > 100000) {
        std::fprintf(stderr, "quellmark-media-bench: --frames is 1 to 100000\n");
        return std::nullopt;
    }
    return arguments;
}

// Where the outputs go: --keep's folder, or a fresh temporary one (empty
// when none could be made).
fs::path OutputFolder(const std::string& keep) {
    if (!keep.empty()) {
        fs::create_directories(keep);
        return keep;
    }
    std::string pattern = (fs::temp_directory_path() / "quellmark-media-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("quellmark-media-bench: mkdtemp");
        return {};
    }
    return pattern;
}

void PrintHeader(int frames) {
    double load[1] = {0.0};
    ::getloadavg(load, 1);
    std::printf("the embedded default at 1280x720, %d frames per format, each in its own process;\n"
                "load average %.2f on %ld processors when it started\n\n",
                frames, load[0], ::sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-5s %8s %8s %8s | %-39s | %-29s\n", "", "", "", "", "elapsed ms per frame",
                "CPU ms per frame");
    std::printf("%-5s %8s %8s %8s | %9s %9s %9s %9s | %9s %9s %9s\n", "", "frames/s", "peak MB",
                "file MB", "simulate", "draw", "encode", "wait", "draw", "encode", "frames/s");
}

// Renders `format` in a child process and prints its line; false when it
// failed or missed a target.
bool MeasureFormat(const Format& format, const fs::path& folder, int frames) {
    const ChildResult result = RunInChild(format, folder, frames);
    if (!result.ok) {
        std::printf("%-5s failed: %s\n", format.name, result.error.c_str());
        return false;
    }
    const MediaRun& run = result.run;
    const double perFrame = 1000.0 / run.frames;
    const double fps = run.frames / run.times.total;
    // Drawing and encoding run on a core each: the busier thread sets the
    // pace two otherwise idle cores would allow.
    const double cpuFps = run.frames / std::max(run.times.drawingCpu, run.times.encodingCpu);
    std::printf("%-5s %8.1f %8.1f %8.1f | %9.2f %9.2f %9.2f %9.2f | %9.2f %9.2f %9.1f\n",
                format.name, fps, result.peakMegabytes, double(run.bytes) / 1e6,
                run.times.simulation * perFrame, run.times.drawing * perFrame,
                run.times.encoding * perFrame, run.times.waiting * perFrame,
                run.times.drawingCpu * perFrame, run.times.encodingCpu * perFrame, cpuFps);
    bool met = true;
    if (format.minimumFps > 0.0 && fps < format.minimumFps) {
        std::printf("      missed: at least %.0f frames per second\n", format.minimumFps);
        met = false;
    }
    if (result.peakMegabytes >= kMaximumPeakMegabytes) {
        std::printf("      missed: under %.0f MB at its peak\n", kMaximumPeakMegabytes);
        met = false;
    }
    return met;
}

// One frame through the PNG writer used before and the one used now.
void ComparePngWriters() {
    const sandbox::Image frame = FirstFrame(QUELLMARK_MODULE_PATH);
    std::size_t stbBytes = 0;
    std::size_t pngBytes = 0;
    const Timing stb = MedianMilliseconds(9, [&] { stbBytes = EncodeWithStb(frame).size(); });
    const Timing png = MedianMilliseconds(9, [&] { pngBytes = sandbox::EncodePng(frame).size(); });
    std::printf("\none frame as PNG, medians of 9, elapsed / CPU ms:\n"
                "  stb_image_write (before) %6.1f / %6.1f, %zu bytes\n"
                "  libpng (now)             %6.1f / %6.1f, %zu bytes: %.1f times less CPU\n",
                stb.elapsed, stb.cpu, stbBytes, png.elapsed, png.cpu, pngBytes, stb.cpu / png.cpu);
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Arguments> arguments = ReadArguments(argc, argv);
    if (!arguments) {
        return 2;
    }
    const fs::path folder = OutputFolder(arguments->keep);
    if (folder.empty()) {
        return 1;
    }
    PrintHeader(arguments->frames);
    bool missed = false;
    for (const Format& format : kFormats) {
        missed = !MeasureFormat(format, folder, arguments->frames) || missed;
    }
    ComparePngWriters();
    std::printf("targets: PNG sequence >= 60 frames/s, MP4 >= 100, peak < 100 MB: %s\n",
                missed ? "MISSED" : "met");
    if (arguments->keep.empty()) {
        fs::remove_all(folder);
    }
    return missed ? 1 : 0;
}
