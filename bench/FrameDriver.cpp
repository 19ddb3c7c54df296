// quellmark-frames: loads the plugin module into a simulated host staged at one
// of the benchmark views and runs a fixed number of frames, for counting
// instructions under callgrind (bench/instructions). Prints what the frames
// drew and how many heap allocations they made.
//
//   quellmark-frames [--view in|out] [--frames N] [--module PATH]

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "HostedFrame.h"
#include "measure/AllocationCounter.h"

namespace {

int Usage() {
    std::cerr << "usage: quellmark-frames [--view in|out] [--frames N] [--module PATH]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const BenchView* view = &kBallInView;
    long frames = 1000;
    std::string modulePath = QUELLMARK_MODULE_PATH;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::string_view value = argv[++i];
        if (option == "--view" && value == "in") {
            view = &kBallInView;
        } else if (option == "--view" && value == "out") {
            view = &kBallOutOfView;
        } else if (option == "--frames") {
            char* end = nullptr;
            frames = std::strtol(argv[i], &end, 10);
            if (*end != '\0' || frames < 1) {
                return Usage();
            }
        } else if (option == "--module") {
            modulePath = value;
        } else {
            return Usage();
        }
    }

    try {
        HostedFrame frame(modulePath, *view);
        if (const std::string drift = CheckViewMix(frame.host, *view); !drift.empty()) {
            std::cerr << "quellmark-frames: " << drift << "\n";
            return 1;
        }
        long allocations = 0;
        {
            const AllocationCounter count;
            for (long i = 0; i < frames; ++i) {
                frame.Run();
            }
            allocations = count.Count();
        }
        std::cout << "view: " << view->Name << " (" << view->Expected.Text() << ")\n"
                  << "frames: " << frames << "\n"
                  << "lines drawn per frame: " << frame.host.lines.size() << "\n"
                  << "heap allocations per frame: "
                  << static_cast<double>(allocations) / static_cast<double>(frames) << "\n";
    } catch (const std::exception& error) {
        std::cerr << "quellmark-frames: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
