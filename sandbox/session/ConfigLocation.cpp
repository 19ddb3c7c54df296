#include "ConfigLocation.h"

#include <cstdlib>

#include "Config.h"

namespace sandbox {

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
#if defined(_WIN32)
    return "%APPDATA%\\quellmark\\config.cfg";
#else
    return "$XDG_CONFIG_HOME/quellmark/config.cfg";
#endif
}

std::string_view ConfigEnvironmentMissing() {
#if defined(_WIN32)
    return "APPDATA is not set";
#else
    return "neither XDG_CONFIG_HOME nor HOME is set";
#endif
}

} // namespace sandbox
