#include "picture/UiContext.h"

#include <imgui.h>

namespace sandbox {

UiContext::UiContext() : context_(ImGui::CreateContext()) {
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
}

UiContext::~UiContext() {
    ImGui::DestroyContext(context_);
}

} // namespace sandbox
