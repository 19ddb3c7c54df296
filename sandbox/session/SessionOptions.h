#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sandbox {

// What every hosting subcommand takes: the game, the module, the console.
struct SessionOptions {
    std::optional<std::string> scenarioPath; // embedded default when empty
    std::optional<std::string> modulePath;   // Quellmark.so beside the program when empty
    std::optional<std::string> configPath;   // the user's config directory when empty
    bool noConfig = false;                   // run without any config
    bool trace = false;                      // the plugin's SDK calls on stdout
    bool logHandles = false; // the handles made ("+Kind") and destroyed ("-Kind") on stdout
    std::vector<std::pair<std::string, std::string>> sets; // --set NAME=VALUE, in order
    std::vector<std::string> execs;                        // --exec LINE, in order

    // Whether stdout holds the call log (trace, handles or both) and nothing else.
    bool LogOnStdout() const { return trace || logHandles; }
};

} // namespace sandbox
