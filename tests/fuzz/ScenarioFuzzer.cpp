// libFuzzer target: bytes become scenario text for the parser. It must accept
// the text or refuse it with InputError, whose message stays short and holds
// no control character whatever the text held (so it is one line, and nothing
// reaches a terminal raw); anything else (a crash, another exception, a
// message quoting a whole value) aborts, so libFuzzer keeps the input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/InputError.h"
#include "scenario/ScenarioParser.h"

namespace {

// The longest refusal: a bounded path, a bounded value, the parser's words.
constexpr std::size_t kLongestMessage = 512;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const sandbox::Scenario scenario = sandbox::ParseScenario(text, "fuzz.json");
        // An accepted scenario can be played: its first and last frames.
        sandbox::StateAt(scenario, 1);
        sandbox::StateAt(scenario, scenario.frames);
    } catch (const sandbox::InputError& error) {
        const std::string message = error.what();
        const bool raw = std::any_of(message.begin(), message.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
        });
        if (message.size() > kLongestMessage || raw) {
            std::fprintf(stderr,
                         "scenario refusal of %zu bytes, or with a control character:\n%s\n",
                         message.size(), message.substr(0, 2000).c_str());
            std::abort();
        }
    }
    return 0;
}
