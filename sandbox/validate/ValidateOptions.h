#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace validate {

// The seed of the random frames when --seed is not given.
inline constexpr std::uint64_t kDefaultSeed = 0x51554C4Cull;

struct ValidateOptions {
    std::string modulePath; // empty: Quellmark.so beside the program
    int cycles = 100;
    std::uint64_t seed = kDefaultSeed;
    std::optional<std::string> only;
    bool list = false;
    bool help = false;
};

// A command line the validator cannot run: the message says what is wrong.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the options after the command's name; throws OptionError.
ValidateOptions ParseValidateOptions(const std::vector<std::string>& arguments);

} // namespace validate
