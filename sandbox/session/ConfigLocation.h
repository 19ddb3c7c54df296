#pragma once

#include <filesystem>
#include <string_view>

namespace sandbox {

// Where the user's config lives when no --config is given, by this platform's
// custom: on Windows %APPDATA%\quellmark\config.cfg (AppDataConfigPath), else
// $XDG_CONFIG_HOME or $HOME (DefaultConfigPath). Empty when the environment
// names no such place; the run then has no config.
std::filesystem::path DefaultConfigPathHere();

// Where DefaultConfigPathHere looks, as help texts say it:
// "$XDG_CONFIG_HOME/quellmark/config.cfg" or "%APPDATA%\quellmark\config.cfg".
std::string_view DefaultConfigPlaceHere();

// Why DefaultConfigPathHere is empty: "neither XDG_CONFIG_HOME nor HOME is
// set", "APPDATA is not set".
std::string_view ConfigEnvironmentMissing();

// $XDG_CONFIG_HOME/quellmark/config.cfg, else $HOME/.config/quellmark/config.cfg
// (either argument may be null or empty); empty when neither is set.
std::filesystem::path DefaultConfigPath(const char* xdgConfigHome, const char* home);

// `appData`\quellmark\config.cfg; empty for an empty `appData`.
std::filesystem::path AppDataConfigPath(const std::filesystem::path& appData);

} // namespace sandbox
