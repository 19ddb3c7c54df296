#include <imgui.h>

#include "Quellmark.h"
#include "sdk/CVarWrapper.h"

void Quellmark::DrawSettingsPanel() {
    // Fetched once in the module's lifetime, through the first plugin's own
    // console, and kept until the module unloads. Static initialisation runs
    // it once even when first draws race.
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
