#include "WindowDisplay.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sandboxtest {

#ifdef _WIN32

std::optional<std::vector<std::string>> WindowRunner(std::string& why) {
    // Wine shows Windows' windows on the X display it was started with; its
    // ntdll says that it is Wine.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (wine && std::getenv("DISPLAY") == nullptr) {
        why = "Wine has no X display (DISPLAY is not set)";
        return std::nullopt;
    }
    return std::vector<std::string>{};
}

#else

std::optional<std::vector<std::string>> WindowRunner(std::string& why) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/xvfb-run").c_str(), X_OK) == 0) {
            // An authority file of the test program's own: without one,
            // xvfb-run makes a folder for it and, on a busy machine, can
            // fail to remove it while the server resets, and then ends with
            // its own status (5) in place of the program's.
            static const testsupport::TempDir authority;
            return std::vector<std::string>{"xvfb-run", "--auto-servernum",
                                            "--auth-file=" + (authority / "Xauthority").string(),
                                            "--server-args=-screen 0 1280x1024x24"};
        }
    }
    why = "xvfb-run is not installed";
    return std::nullopt;
}

#endif

const std::vector<std::string>& OnADisplay() {
    static const std::vector<std::string> runner = [] {
        std::string why;
        return WindowRunner(why).value_or(std::vector<std::string>{});
    }();
    return runner;
}

} // namespace sandboxtest
