#include "plugin/SettingsWindowBase.h"

#include <imgui.h>

std::string SettingsWindowBase::GetPanelName() {
    return "Quellmark";
}

// The context is the host's: it lives in the host's copy of Dear ImGui, and
// this module's copy (linked in statically, hidden from the host) only
// borrows it. No allocator functions are installed: the module's copy keeps
// Dear ImGui's default, malloc and free, and those are the host's too as long
// as module and host share one C runtime, as every build here does (glibc; the
// MinGW build's msvcrt.dll for the sandbox and the module alike). Against a
// host built with another runtime (a Windows host built with MSVC) the heaps
// may differ, and the module would have to install the host's pair with
// ImGui::SetAllocatorFunctions here, which this SDK gives it no way to obtain.
void SettingsWindowBase::SetUiContext(std::uintptr_t context) {
    ImGui::SetCurrentContext(reinterpret_cast<ImGuiContext*>(context));
}
