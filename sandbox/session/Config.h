#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Console.h"

namespace sandbox {

// The host's saved console variables: one per line, `name "value"`, with
// backslash escapes for quotes and backslashes inside the value; blank lines
// and lines starting with # or // are ignored.
using Settings = std::vector<std::pair<std::string, std::string>>;

// The config file's text for `settings`, in their order.
std::string FormatConfig(const Settings& settings);

// Reads config text; on the first line it cannot read, returns nothing and
// puts "SOURCE:LINE: what" in `problem`.
std::optional<Settings> ParseConfig(std::string_view text, const std::string& source,
                                    std::string& problem);

// $XDG_CONFIG_HOME/quellmark/config.cfg, else $HOME/.config/quellmark/config.cfg
// (either argument may be null or empty); empty when neither is set.
std::filesystem::path DefaultConfigPath(const char* xdgConfigHome, const char* home);

// One config file across a run: loaded before the plugin registers its
// variables, saved when the console runs "writeconfig". A file that could not
// be read or parsed is never overwritten, so a hand-edited file with a typo is
// not replaced by defaults.
class ConfigStore {
public:
    // An empty path is a run without a config: nothing loaded, nothing saved.
    explicit ConfigStore(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }

    // Reads the file. A missing file is an empty config; one that cannot be
    // read or parsed yields no settings and a warning in `warning`.
    const Settings& Load(std::string& warning);

    // Writes every registered variable meant for the config, keeping entries
    // for variables not registered in this run. Returns false with `error`
    // set when nothing was written.
    bool Save(const sim::Console& console, std::string& error);

private:
    std::filesystem::path path_;
    Settings loaded_;
    bool damaged_ = false;
};

} // namespace sandbox
