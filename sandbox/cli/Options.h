#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SessionOptions.h"
#include "Subcommands.h"

namespace sandbox {

struct RenderOptions {
    SessionOptions session;
    std::optional<std::string> out;
    bool help = false;
};

struct WindowOptions {
    SessionOptions session;
    std::optional<std::string> script;
    bool help = false;
};

// Both throw InputError naming the offending option.
RenderOptions ParseRenderOptions(Arguments arguments);
WindowOptions ParseWindowOptions(Arguments arguments);

extern const char* const kRenderUsage;
extern const char* const kWindowUsage;

} // namespace sandbox
