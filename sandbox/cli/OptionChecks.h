#pragma once

// Validators.hpp uses the error types without including them.
#include <CLI/Error.hpp>
#include <CLI/Validators.hpp>

namespace sandbox {

// Checks declared on the command line's options, beside CLI11's own
// (CLI::Range). Each message reads on after "--name: ", so
// a refusal names the option and what is wrong with the value.

// A whole number in decimal, rewritten to its plain form: CLI11 reads a leading
// 0 as octal, and "010 frames" means ten. Range checks follow it.
CLI::Validator Decimal();

// A seed: a whole number, decimal or 0x-hex, that fits in 64 bits; rewritten
// to decimal.
CLI::Validator Seed();

// Refuses "" (`--config ""`), which would otherwise pass for a path.
CLI::Validator NonEmpty();

// A file that exists, with CLI::ExistingFile's messages. The text is UTF-8 on
// every platform; CLI11's own check hands it to the system as it stands,
// which on Windows reads it in the local code page, so a name beyond ASCII
// would not be found.
CLI::Validator ExistingFile();

// ExistingFile, or "-" for standard input.
CLI::Validator ExistingFileOrDash();

// NAME=VALUE with a name a console line can carry: no blank, quote or ';'.
CLI::Validator NameEqualsValue();

} // namespace sandbox
