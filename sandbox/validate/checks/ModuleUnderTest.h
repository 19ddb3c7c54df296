#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"
#include "sim/HostedPlugin.h"

namespace validate {

// The module under test in a simulated host, through the host's own load and
// unload sequence (sim::HostedPlugin), with its errors turned into failures of
// the check. Steps a check takes out of the host's order it takes through the
// HostedPlugin's pieces and the module's descriptor.

// Opens and checks the module; a refused module fails the check.
std::unique_ptr<sim::HostedPlugin> OpenModule(const std::string& path, sim::Host& host);
// HostedPlugin::Create; a factory that made no plugin fails the check.
BakkesMod::Plugin::BakkesModPlugin& CreatePlugin(sim::HostedPlugin& hosted);
// HostedPlugin::Load; a factory that made no plugin fails the check.
BakkesMod::Plugin::BakkesModPlugin& LoadPlugin(sim::HostedPlugin& hosted,
                                               std::uintptr_t uiContext = 0);
// The plugin's settings page; fails the check when it has none.
BakkesMod::Plugin::PluginSettingsWindow& PanelOf(const sim::HostedPlugin& hosted);

// OpenModule and LoadPlugin with qm_enabled held at "1" first, so that the
// overlay draws from the first frame.
std::unique_ptr<sim::HostedPlugin> LoadSwitchedOn(const std::string& path, sim::Host& host);

// The plain frame: freeplay on a 1600x900 canvas, the ball on the centre spot,
// the camera behind the -Y goal looking up the field with every target and the
// ball in view.
void StagePlainFrame(sim::Host& host);

} // namespace validate
