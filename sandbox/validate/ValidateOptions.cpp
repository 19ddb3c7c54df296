#include "ValidateOptions.h"

#include <cerrno>
#include <cstdlib>

namespace validate {

namespace {

constexpr long kMaxCycles = 1000000;

std::uint64_t ParseSeed(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                              std::string::npos) {
        throw OptionError("--seed takes a whole number, decimal or 0x-hex, not '" + text + "'");
    }
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE) {
        throw OptionError("--seed '" + text + "' does not fit in 64 bits");
    }
    return value;
}

int ParseCycles(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 7 || std::stol(text) < 1 || std::stol(text) > kMaxCycles) {
        throw OptionError("--cycles takes a whole number from 1 to " + std::to_string(kMaxCycles) +
                          ", not '" + text + "'");
    }
    return int(std::stol(text));
}

} // namespace

ValidateOptions ParseValidateOptions(const std::vector<std::string>& arguments) {
    ValidateOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        auto takeValue = [&]() -> std::string {
            if (value) {
                return *value;
            }
            if (i + 1 >= arguments.size()) {
                throw OptionError(name + " needs a value");
            }
            return arguments[++i];
        };
        if (name == "--module") {
            options.modulePath = takeValue();
            if (options.modulePath.empty()) {
                throw OptionError("--module needs a path");
            }
        } else if (name == "--cycles") {
            options.cycles = ParseCycles(takeValue());
        } else if (name == "--seed") {
            options.seed = ParseSeed(takeValue());
        } else if (name == "--only") {
            options.only = takeValue();
        } else if ((name == "--list" || name == "--help" || name == "-h") && !value) {
            (name == "--list" ? options.list : options.help) = true;
        } else if (name.starts_with("-")) {
            throw OptionError("unknown option '" + arguments[i] + "'");
        } else {
            throw OptionError("unexpected argument '" + name + "'");
        }
    }
    return options;
}

} // namespace validate
