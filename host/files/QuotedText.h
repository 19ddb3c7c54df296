#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace files {

// Text in double quotes, one line whatever it holds: the saved config and the
// call trace write values this way and the config reads them back.
// Escapes: \" and \\ for themselves; \n, \r and \t; \xHH for every other
// byte below 0x20 and for 0x7F. Other bytes (UTF-8 included) are as they are.

// Appends `text`, quoted and escaped, to `out`.
void AppendQuoted(std::string& out, std::string_view text);
// `text` quoted and escaped.
std::string Quoted(std::string_view text);

// `text` as one line that is safe to show on a terminal: the escapes above
// for line breaks and control characters (a terminal would act on them: move
// the cursor, retitle the window, forge a line), quotes and backslashes as
// they are.
std::string Printable(std::string_view text);

struct Unquoted {
    std::string value;
    std::size_t length = 0; // bytes of `text` taken, both quotes included
};

// Reads the quoted text at the start of `text` (which starts with '"').
// A backslash before any other character stands for that character, as older
// files were written with only \" and \\. Returns nothing with `problem` set
// when the closing quote is missing or an \x is not followed by two hex digits.
std::optional<Unquoted> ReadQuoted(std::string_view text, std::string& problem);

} // namespace files
