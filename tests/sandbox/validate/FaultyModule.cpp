// A plugin module with one fault, chosen at compile time, for the validator to
// catch. It registers qm_enabled and a drawable as the real plugin does and
// draws the eight lines, but:
//   FAULTY_UNCLIPPED  projects and draws every segment whole, never clipping it;
//   FAULTY_CRASH      dies (a trap) on the first frame whose ball is not finite;
//   FAULTY_LEAK       loses a block of heap each time it is loaded;
//   FAULTY_HANDLE     keeps a copy of the canvas of every frame that draws;
//   FAULTY_STRAY      keeps a console variable handle past its own unload.
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "sdk/BakkesModPlugin.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/GameWrapper.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "support/TestModuleDescriptor.h"
#include "support/TestModuleExport.h"
#include "validate/audit/OverlayTargets.h"

namespace {

#if defined(FAULTY_STRAY)
// Made in onLoad and never destroyed. It lives in static storage, not on the
// heap, so the module leaks a host handle and no memory.
alignas(CVarWrapper) unsigned char strayHandle[sizeof(CVarWrapper)];
#endif

// The lines it draws are the ones the validator expects, but for its fault.
using validate::kLineWidth;
using validate::kTargets;
using validate::TargetColor;

class FaultyPlugin : public BakkesMod::Plugin::BakkesModPlugin,
                     public BakkesMod::Plugin::PluginSettingsWindow {
public:
    void onLoad() override {
        enabled_ = std::make_shared<bool>(true);
        cvarManager
            ->registerCvar("qm_enabled", "0", "Plugin Enabled", true, false, 0.0f, false, 0.0f,
                           true)
            .bindTo(enabled_);
        gameWrapper->RegisterDrawable([this](CanvasWrapper canvas) { Render(canvas); });
#if defined(FAULTY_STRAY)
        new (strayHandle) CVarWrapper(cvarManager->getCvar("qm_enabled"));
#endif
    }

    void DrawSettingsPanel() override {}
    std::string GetPanelName() override {
        return "Faulty";
    }
    void SetUiContext(std::uintptr_t) override {}

private:
    void Render(CanvasWrapper canvas) {
        if (!*enabled_ || !(gameWrapper->IsInCustomTraining() || gameWrapper->IsInFreeplay() ||
                            gameWrapper->IsInReplay())) {
            return;
        }
        ServerWrapper server = gameWrapper->GetGameEventAsServer();
        BallWrapper ball = server.GetBall();
        CameraWrapper camera = gameWrapper->GetCamera();
        if (ball.IsNull() || camera.IsNull()) {
            return;
        }
        const Vector end = ball.GetLocation();
#if defined(FAULTY_CRASH)
        if (!std::isfinite(end.X) || !std::isfinite(end.Y) || !std::isfinite(end.Z)) {
            __builtin_trap();
        }
#endif
#if defined(FAULTY_HANDLE)
        keptCanvases_.push_back(canvas);
#endif
        for (int i = 0; i < 8; ++i) {
            if (i % 4 == 0) {
                const sim::Color color = TargetColor(i);
                canvas.SetColor(color.r, color.g, color.b, color.a);
            }
            const Vector2F to = canvas.ProjectF(end);
            const Vector2F from = canvas.ProjectF(kTargets[i]);
            canvas.DrawLine(from, to, kLineWidth);
        }
    }

    std::shared_ptr<bool> enabled_;
#if defined(FAULTY_HANDLE)
    std::vector<CanvasWrapper> keptCanvases_;
#endif
};

std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> instance;

} // namespace

extern "C" {

#if defined(FAULTY_LEAK)
// Allocated when the module is loaded and never freed; exported, so that the
// allocation cannot be optimised away.
TEST_MODULE_EXPORT char* faultyLost = new char[64 * 1024];
#endif

TEST_MODULE_EXPORT std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* getPlugin() {
    if (!instance) {
        instance = std::make_shared<FaultyPlugin>();
    }
    return &instance;
}

TEST_MODULE_EXPORT void deleteMe() {
    instance.reset();
}

TEST_MODULE_EXPORT extern const PluginDescriptor exports;
constinit const PluginDescriptor exports =
    TestModuleDescriptor(__FILE__, "Faulty", "a module with one fault", &getPlugin, &deleteMe);

} // extern "C"
