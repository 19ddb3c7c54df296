#include "sdk/BakkesModPlugin.h"

// Out of line, so that every plugin module carries and exports these members.
namespace BakkesMod::Plugin {

BakkesModPlugin::BakkesModPlugin() = default;
BakkesModPlugin::BakkesModPlugin(const BakkesModPlugin& other) = default;
BakkesModPlugin::BakkesModPlugin(BakkesModPlugin&& other) noexcept = default;
BakkesModPlugin& BakkesModPlugin::operator=(const BakkesModPlugin& other) = default;
BakkesModPlugin& BakkesModPlugin::operator=(BakkesModPlugin&& other) noexcept = default;
BakkesModPlugin::~BakkesModPlugin() = default;

void BakkesModPlugin::onLoad() {}
void BakkesModPlugin::onUnload() {}

} // namespace BakkesMod::Plugin
