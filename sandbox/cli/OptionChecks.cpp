#include "cli/OptionChecks.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/ProgramPath.h"

namespace sandbox {

namespace {

// The value of `digits` in `base`, or false when it is not all digits or does
// not fit.
bool ReadWhole(std::string_view digits, int base, std::uint64_t& value) {
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    return !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
}

} // namespace

CLI::Validator Decimal() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint64_t value = 0;
            if (!ReadWhole(text, 10, value)) {
                return "'" + text + "' is not a whole number";
            }
            text = std::to_string(value);
            return {};
        },
        "");
}

CLI::Validator Seed() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const bool hex = text.starts_with("0x") || text.starts_with("0X");
            const std::string_view digits = std::string_view(text).substr(hex ? 2 : 0);
            std::uint64_t value = 0;
            if (!ReadWhole(digits, hex ? 16 : 10, value)) {
                const bool allDigits =
                    !digits.empty() &&
                    digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") ==
                        std::string_view::npos;
                return allDigits ? "'" + text + "' does not fit in 64 bits"
                                 : "'" + text + "' is not a whole number, decimal or 0x-hex";
            }
            text = std::to_string(value);
            return {};
        },
        "");
}

CLI::Validator NonEmpty() {
    return CLI::Validator(
        [](std::string& text) -> std::string { return text.empty() ? "the value is empty" : ""; },
        "");
}

CLI::Validator ExistingFile() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::error_code error;
            const std::filesystem::file_status status =
                std::filesystem::status(PathFromText(text), error);
            if (!std::filesystem::exists(status)) {
                return "File does not exist: " + text;
            }
            if (std::filesystem::is_directory(status)) {
                return "File is actually a directory: " + text;
            }
            return {};
        },
        "");
}

CLI::Validator ExistingFileOrDash() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return text == "-" ? std::string() : ExistingFile()(text);
        },
        "");
}

CLI::Validator NameEqualsValue() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::size_t equals = text.find('=');
            const std::string_view name = std::string_view(text).substr(0, equals);
            bool plain = equals != std::string::npos && !name.empty();
            for (char c : name) {
                plain =
                    plain && !std::isspace(static_cast<unsigned char>(c)) && c != '"' && c != ';';
            }
            return plain ? "" : "expected NAME=VALUE, got '" + text + "'";
        },
        "");
}

} // namespace sandbox
