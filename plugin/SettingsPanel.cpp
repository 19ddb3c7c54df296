#include <imgui.h>

#include "plugin/Quellmark.h"
#include "sdk/CVarWrapper.h"

void Quellmark::DrawSettingsPanel() {
    // Fetched once in the module's lifetime, through the first plugin's own
    // console, and kept until the module unloads. A function-local static, not
    // a member, on purpose: its once-only initialisation is what makes racing
    // first draws fetch it once, without a lock of the plugin's own. The price,
    // accepted, is that the handle belongs to the module: a plugin made after a
    // release reads the first one's handle, and the host sees it live until the
    // module unloads.
    static CVarWrapper enabledVariable = cvarManager->getCvar("qm_enabled");

    // Without the host's context there is nothing to draw into, and Dear ImGui
    // would dereference a null context.
    if (ImGui::GetCurrentContext() == nullptr) {
        return;
    }

    // Read every frame, so a change made from the console shows at once.
    bool checked = enabledVariable.getBoolValue();
    if (ImGui::Checkbox("Enabled", &checked)) {
        enabledVariable.setValue(checked ? 1 : 0);
        cvarManager->executeCommand("writeconfig", false);
    }
}
