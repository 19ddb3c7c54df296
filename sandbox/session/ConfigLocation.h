#pragma once

#include <filesystem>

namespace sandbox {

// Where the user's config lives when no --config is given, by this platform's
// custom: on Windows %APPDATA%\quellmark\config.cfg (AppDataConfigPath), else
// $XDG_CONFIG_HOME or $HOME (DefaultConfigPath). Empty when the environment
// names no such place; the run then has no config.
std::filesystem::path DefaultConfigPathHere();

// `appData`\quellmark\config.cfg; empty for an empty `appData`.
std::filesystem::path AppDataConfigPath(const std::filesystem::path& appData);

} // namespace sandbox
