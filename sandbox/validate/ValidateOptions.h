#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace validate {

// The seed of the random frames when --seed is not given.
inline constexpr std::uint64_t kDefaultSeed = 0x51554C4Cull;

// What `quellmark-sandbox validate` is asked to do; the sandbox's command line
// fills it in.
struct ValidateOptions {
    std::string modulePath; // empty: Quellmark.so beside the program
    int cycles = 100;
    std::uint64_t seed = kDefaultSeed;
    std::vector<std::string> only; // empty: every check
    // Where the hostile frames that breach are written as scenario files.
    std::string failuresDir = "validate-failures";
    bool list = false;
};

} // namespace validate
