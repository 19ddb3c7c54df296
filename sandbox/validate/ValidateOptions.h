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
    std::string modulePath; // UTF-8; empty: the module (Quellmark.so, .dll) beside the program
    int cycles = 100;
    std::uint64_t seed = kDefaultSeed;
    // Empty: every check for any plugin, and Quellmark's own when the module's
    // class name is Quellmark.
    std::vector<std::string> only;
    // Where the hostile frames that breach are written as scenario files.
    std::string failuresDir = "validate-failures";
    bool list = false;
    // Set only when a validator starts this program for one check (--only
    // NAME): the report channel (a descriptor's or handle's number) its
    // verdict goes to. Not shown in the help.
    std::string childReport;
};

} // namespace validate
