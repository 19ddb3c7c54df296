#pragma once

#include <optional>
#include <string>

namespace files {

// What a program does first in main, before it opens any file:
// - standard input, output or error found closed is opened on the null
//   device, so no file opened later takes its number (output meant for the
//   terminal would go into it, or a file be read as standard input);
// - a write to a pipe whose reader went away fails (EPIPE) instead of ending
//   the process with SIGPIPE, so it is reported like any failed write (a
//   program that starts others should give them SIGPIPE's default back, as
//   an ignored signal stays ignored across exec);
// - standard output writes each line as it ends even when it is not a
//   terminal, so `prog > log 2>&1` keeps the order of lines written to both.
// What went wrong, or nothing: when the null device cannot be opened for a
// closed stream, the program should stop, since the stream's number is free.
[[nodiscard]] std::optional<std::string> PrepareStandardStreams();

// What a program does last in main: flushes standard output (the C++ stream
// too, in case it is not synchronised with stdio) and says whether every
// write to it arrived. Nothing when it did, else the message to print before
// exiting with status 1: "cannot write standard output: the reader went
// away (broken pipe)", "...: No space left on device".
[[nodiscard]] std::optional<std::string> FinishStandardOutput();

} // namespace files
