// libFuzzer target: bytes become config text. Whatever the reader accepts,
// the writer writes so that the reader reads it back to the same settings
// (the promise writeconfig keeps across runs); a difference aborts, so
// libFuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "session/Config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto settings = sandbox::ParseConfig(text, "fuzz.cfg", problem);
    if (!settings) {
        return 0;
    }
    const std::string written = sandbox::FormatConfig(*settings);
    const auto reread = sandbox::ParseConfig(written, "written.cfg", problem);
    if (!reread) {
        std::fprintf(stderr, "the written config does not read back: %s\n", problem.c_str());
        std::abort();
    }
    if (*reread != *settings) {
        std::fprintf(stderr, "the written config reads back differently\n");
        std::abort();
    }
    return 0;
}
