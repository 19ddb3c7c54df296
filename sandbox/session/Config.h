#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Console.h"

namespace sandbox {

// The host's saved console variables: one per line, `name "value"`, the value
// quoted as files/QuotedText.h says (so any value, newlines and control
// characters included, reads back as it was written); blank lines and lines
// starting with # or // are ignored.
using Settings = std::vector<std::pair<std::string, std::string>>;

// A config file larger than this is refused: a hand-kept list of variables
// is a few hundred bytes.
inline constexpr std::uint64_t kMaxConfigBytes = 1024 * 1024;

// The config file's text for `settings`, in their order.
std::string FormatConfig(const Settings& settings);

// Reads config text; on the first line it cannot read, returns nothing and
// puts "SOURCE:LINE: what" in `problem`.
std::optional<Settings> ParseConfig(std::string_view text, const std::string& source,
                                    std::string& problem);

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
    // read (not a regular file, larger than kMaxConfigBytes, a read error)
    // or parsed yields no settings and a warning in `warning`, and is never
    // written over by Save.
    const Settings& Load(std::string& warning);
    // What the last Load found: a file there (read or not), and one that
    // could not be read or parsed.
    bool Existed() const { return existed_; }
    bool Damaged() const { return damaged_; }

    // Writes every registered variable meant for the config, keeping entries
    // for variables not registered in this run. Returns false with `error`
    // set when nothing was written.
    bool Save(const sim::Console& console, std::string& error);

private:
    std::filesystem::path path_;
    Settings loaded_;
    bool existed_ = false;
    bool damaged_ = false;
};

} // namespace sandbox
