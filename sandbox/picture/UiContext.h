#pragma once

#include <cstdint>

struct ImGuiContext;

namespace sandbox {

// The host's Dear ImGui context: created before the plugin loads (it is handed
// over through SetUiContext) and destroyed after the module is unloaded. It is
// made current on creation. No ini or log files are written.
class UiContext {
public:
    UiContext();
    ~UiContext();
    UiContext(const UiContext&) = delete;
    UiContext& operator=(const UiContext&) = delete;

    ImGuiContext* Get() const { return context_; }
    // As the plugin's SetUiContext takes it.
    std::uintptr_t Handle() const { return reinterpret_cast<std::uintptr_t>(context_); }

private:
    ImGuiContext* context_;
};

} // namespace sandbox
