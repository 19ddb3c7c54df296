#include "validate/panel/PanelDriver.h"

#include <imgui.h>

namespace validate {

PanelDriver::PanelDriver() : context_(ImGui::CreateContext()) {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(800.0f, 600.0f);
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
}

PanelDriver::~PanelDriver() {
    ImGui::DestroyContext(context_);
}

std::vector<std::string> PanelDriver::Frame(BakkesMod::Plugin::PluginSettingsWindow& panel,
                                            sim::Host& host, bool pressed) {
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    io.DeltaTime = 1.0f / 60.0f;
    io.MousePos = aiming_ ? ImVec2(itemX_, itemY_) : ImVec2(-1.0f, -1.0f);
    io.MouseDown[0] = pressed;
    ImGui::NewFrame();
    // Given a size, the window shows its items from its very first frame;
    // left to fit them it would hide them for one, and a click there misses.
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f));
    ImGui::SetNextWindowSize(ImVec2(300.0f, 200.0f));
    ImGui::Begin(panel.GetPanelName().c_str());
    host.log.Clear();
    host.log.calls = true;
    panel.DrawSettingsPanel();
    host.log.calls = false;
    itemX_ = (ImGui::GetItemRectMin().x + ImGui::GetItemRectMax().x) * 0.5f;
    itemY_ = (ImGui::GetItemRectMin().y + ImGui::GetItemRectMax().y) * 0.5f;
    ImGui::End();
    ImGui::Render();
    return host.log.lines;
}

std::vector<std::string> PanelDriver::Click(BakkesMod::Plugin::PluginSettingsWindow& panel,
                                            sim::Host& host) {
    aiming_ = true;
    Frame(panel, host, true);
    auto calls = Frame(panel, host, false);
    aiming_ = false;
    return calls;
}

} // namespace validate
