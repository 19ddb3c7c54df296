#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "Subcommands.h"
#include "InputError.h"

namespace {

struct Subcommand {
    std::string_view name;
    std::string_view summary;
    int (*run)(sandbox::Arguments);
};

// One line per subcommand.
constexpr Subcommand kSubcommands[] = {
    {"render", "render frames of a scenario to PNG, headless", sandbox::RunRender},
    {"window", "host the plugin in an interactive window", sandbox::RunWindow},
    {"validate", "check the module: lifecycle, hostile frames, load cycles", sandbox::RunValidate},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: quellmark-sandbox COMMAND [OPTIONS]\n\n"
                      "Hosts the Quellmark plugin module outside the game.\n\ncommands:\n");
    for (const Subcommand& command : kSubcommands) {
        std::fprintf(out, "  %-10.*s %.*s\n", int(command.name.size()), command.name.data(),
                     int(command.summary.size()), command.summary.data());
    }
    std::fprintf(out, "\n'quellmark-sandbox COMMAND --help' lists a command's options.\n");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        PrintUsage(stderr);
        return sandbox::kExitBadInput;
    }
    const std::string& name = arguments.front();
    if (name == "help" || name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return sandbox::kExitOk;
    }
    for (const Subcommand& command : kSubcommands) {
        if (command.name != name) {
            continue;
        }
        try {
            return command.run(sandbox::Arguments(arguments).subspan(1));
        } catch (const sandbox::InputError& error) {
            std::fprintf(stderr, "quellmark-sandbox %s: %s\n", name.c_str(), error.what());
            return sandbox::kExitBadInput;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "quellmark-sandbox %s: %s\n", name.c_str(), error.what());
            return sandbox::kExitFailure;
        }
    }
    std::fprintf(stderr, "quellmark-sandbox: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return sandbox::kExitBadInput;
}
