#include "session/ConfigLocation.h"

#include <cstdlib>

namespace sandbox {

namespace {

// How DefaultConfigPathHere's place and its absence are said.
#if defined(_WIN32)
constexpr std::string_view kConfigPlace = "%APPDATA%\\quellmark\\config.cfg";
constexpr std::string_view kConfigEnvironmentMissing = "APPDATA is not set";
#else
constexpr std::string_view kConfigPlace = "$XDG_CONFIG_HOME/quellmark/config.cfg";
constexpr std::string_view kConfigEnvironmentMissing = "neither XDG_CONFIG_HOME nor HOME is set";
#endif

} // namespace

std::filesystem::path DefaultConfigPath(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0') {
        return std::filesystem::path(xdgConfigHome) / "quellmark" / "config.cfg";
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config" / "quellmark" / "config.cfg";
    }
    return {};
}

std::filesystem::path AppDataConfigPath(const std::filesystem::path& appData) {
    if (appData.empty()) {
        return {};
    }
    return appData / "quellmark" / "config.cfg";
}

std::filesystem::path DefaultConfigPathHere() {
#if defined(_WIN32)
    // Read wide: a user's folder name need not fit the ANSI code page.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return AppDataConfigPath(appData ? std::filesystem::path(appData) : std::filesystem::path());
#else
    return DefaultConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
#endif
}

std::string_view DefaultConfigPlaceHere() {
    return kConfigPlace;
}

std::string_view ConfigEnvironmentMissing() {
    return kConfigEnvironmentMissing;
}

} // namespace sandbox
