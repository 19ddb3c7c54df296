#include "plugin/SettingsWindowBase.h"

#include <imgui.h>

std::string SettingsWindowBase::GetPanelName() {
    return "Quellmark";
}

// The context is the host's: it lives in the host's copy of Dear ImGui, and
// this module's copy only borrows it.
void SettingsWindowBase::SetUiContext(std::uintptr_t context) {
    ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(context));
}
