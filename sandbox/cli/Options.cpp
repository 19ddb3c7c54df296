#include "Options.h"

#include <cctype>
#include <charconv>
#include <initializer_list>

#include "InputError.h"

namespace sandbox {

const char* const kRenderUsage =
    "usage: quellmark-sandbox render [OPTIONS]\n"
    "\n"
    "Renders each frame of a scenario to PNG without a display.\n"
    "\n"
    "  --scenario FILE     scenario JSON (default: the embedded default scenario)\n"
    "  --out PATH          PNG to write for one frame (default quellmark.png), or the\n"
    "                      folder for several (default quellmark-frames)\n"
    "  --frames N          render N frames instead of the scenario's count\n"
    "  --trace             print the plugin's SDK calls on stdout\n"
    "  --set NAME=VALUE    set a console variable, as typed into the console\n"
    "  --exec LINE         run a console line after the plugin has loaded\n"
    "  --config FILE       config file (default $XDG_CONFIG_HOME/quellmark/config.cfg)\n"
    "  --module PATH       plugin module (default Quellmark.so beside this program)\n";

const char* const kWindowUsage =
    "usage: quellmark-sandbox window [OPTIONS]\n"
    "\n"
    "Hosts the plugin in an interactive window.\n"
    "\n"
    "  --scenario FILE     scenario JSON (default: the embedded default scenario)\n"
    "  --frames N          quit after N frames (default: run until closed)\n"
    "  --script TEXT       scripted input: 'FRAME ACTION [ARGS]' items separated by ';'\n"
    "                      (click X Y | click panel | key NAME | console LINE |\n"
    "                      screenshot PATH)\n"
    "  --trace             print the plugin's SDK calls on stdout\n"
    "  --set NAME=VALUE    set a console variable, as typed into the console\n"
    "  --exec LINE         run a console line after the plugin has loaded\n"
    "  --config FILE       config file (default $XDG_CONFIG_HOME/quellmark/config.cfg)\n"
    "  --module PATH       plugin module (default Quellmark.so beside this program)\n"
    "\n"
    "keys: W/A/S/D/R/F move the camera (Shift: faster), right mouse drag turns it,\n"
    "wheel changes the field of view; arrows and PageUp/PageDown move the ball;\n"
    "P plays or pauses the scenario's motion; Escape quits.\n";

namespace {

struct Option {
    std::string name;
    std::string value;
};

// Splits `--name value` and `--name=value` pairs, refusing anything not listed.
class OptionReader {
public:
    OptionReader(std::string_view command, Arguments arguments,
                 std::initializer_list<std::string_view> withValue,
                 std::initializer_list<std::string_view> flags)
        : command_(command), arguments_(arguments), withValue_(withValue), flags_(flags) {}

    bool Next(Option& option) {
        if (index_ >= arguments_.size()) {
            return false;
        }
        const std::string& word = arguments_[index_++];
        if (word.rfind("--", 0) != 0 || word.size() == 2) {
            throw InputError("unexpected argument '" + word + "' (options start with --)");
        }
        const std::size_t equals = word.find('=');
        option.name = word.substr(0, equals);
        const bool inlineValue = equals != std::string::npos;
        if (Listed(flags_, option.name)) {
            if (inlineValue) {
                throw InputError("option " + option.name + " takes no value");
            }
            option.value.clear();
            return true;
        }
        if (!Listed(withValue_, option.name)) {
            throw InputError("unknown option '" + option.name + "' for " + std::string(command_) +
                             " (see --help)");
        }
        if (inlineValue) {
            option.value = word.substr(equals + 1);
        } else if (index_ < arguments_.size()) {
            option.value = arguments_[index_++];
        } else {
            throw InputError("option " + option.name + " needs a value");
        }
        return true;
    }

private:
    static bool Listed(const std::vector<std::string_view>& names, std::string_view name) {
        for (std::string_view listed : names) {
            if (listed == name) {
                return true;
            }
        }
        return false;
    }

    std::string_view command_;
    Arguments arguments_;
    std::vector<std::string_view> withValue_;
    std::vector<std::string_view> flags_;
    std::size_t index_ = 0;
};

int FrameCount(const std::string& text, const std::string& option, int most) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > most) {
        throw InputError("option " + option + ": '" + text + "' is not a frame count from 1 to " +
                         std::to_string(most));
    }
    return value;
}

// Takes the options every hosting command shares; false if `option` is not one.
bool TakeSessionOption(const Option& option, SessionOptions& session) {
    if (option.name == "--scenario") {
        session.scenarioPath = option.value;
    } else if (option.name == "--module") {
        session.modulePath = option.value;
    } else if (option.name == "--config") {
        session.configPath = option.value;
    } else if (option.name == "--trace") {
        session.trace = true;
    } else if (option.name == "--exec") {
        session.execs.push_back(option.value);
    } else if (option.name == "--set") {
        const std::size_t equals = option.value.find('=');
        const std::string name = option.value.substr(0, equals);
        bool plain = !name.empty();
        for (char c : name) {
            plain = plain && !std::isspace(static_cast<unsigned char>(c)) && c != '"' && c != ';';
        }
        if (equals == std::string::npos || !plain) {
            throw InputError("option --set: expected NAME=VALUE, got '" + option.value + "'");
        }
        session.sets.emplace_back(name, option.value.substr(equals + 1));
    } else {
        return false;
    }
    return true;
}

} // namespace

RenderOptions ParseRenderOptions(Arguments arguments) {
    RenderOptions options;
    OptionReader reader(
        "render", arguments,
        {"--scenario", "--out", "--frames", "--set", "--exec", "--config", "--module"},
        {"--trace", "--help"});
    Option option;
    while (reader.Next(option)) {
        if (TakeSessionOption(option, options.session)) {
            continue;
        }
        if (option.name == "--out") {
            if (option.value.empty()) {
                throw InputError("option --out: empty path");
            }
            options.out = option.value;
        } else if (option.name == "--frames") {
            options.session.frames = FrameCount(option.value, option.name, 100000);
        } else if (option.name == "--help") {
            options.help = true;
        }
    }
    return options;
}

WindowOptions ParseWindowOptions(Arguments arguments) {
    WindowOptions options;
    OptionReader reader(
        "window", arguments,
        {"--scenario", "--frames", "--script", "--set", "--exec", "--config", "--module"},
        {"--trace", "--help"});
    Option option;
    while (reader.Next(option)) {
        if (TakeSessionOption(option, options.session)) {
            continue;
        }
        if (option.name == "--frames") {
            options.session.frames = FrameCount(option.value, option.name, 100000000);
        } else if (option.name == "--script") {
            options.script = option.value;
        } else if (option.name == "--help") {
            options.help = true;
        }
    }
    return options;
}

} // namespace sandbox
