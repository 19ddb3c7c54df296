// Waymark, a well-behaved plugin that is not Quellmark, for the validator to
// pass with every check it runs on any plugin; and, built with one fault
// chosen at compile time, the modules it must catch by those same checks:
//   FAULTY_UNCLIPPED  projects and draws its segments whole, never clipping them;
//   FAULTY_CRASH      dies (a trap) on the first frame whose ball is not finite;
//   FAULTY_LEAK       loses a block of heap each time it is loaded;
//   FAULTY_HANDLE     keeps a copy of the canvas of every frame that draws;
//   FAULTY_STRAY      keeps a console variable handle past its own unload.
// Waymark registers a switch of its own, wm_enabled (on by default), one
// hooked game function and a drawable that draws four lines from the ball to
// the centre circle, clipped to the camera's view with the overlay library.
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "overlay/LineSegment.h"
#include "overlay/Quaternion.h"
#include "overlay/ViewFrustum.h"
#include "sdk/BakkesModPlugin.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/GameWrapper.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "support/TestModuleDescriptor.h"
#include "support/TestModuleExport.h"

namespace {

#if defined(FAULTY_STRAY)
// Made in onLoad and never destroyed. It lives in static storage, not on the
// heap, so the module leaks a host handle and no memory.
alignas(CVarWrapper) unsigned char strayHandle[sizeof(CVarWrapper)];
#endif

// Where the lines end: four points on the centre circle.
constexpr Vector kMarks[4] = {
    {915.0f, 0.0f, 0.0f}, {-915.0f, 0.0f, 0.0f}, {0.0f, 915.0f, 0.0f}, {0.0f, -915.0f, 0.0f}};

class Waymark : public BakkesMod::Plugin::BakkesModPlugin,
                public BakkesMod::Plugin::PluginSettingsWindow {
public:
    void onLoad() override {
        enabled_ = std::make_shared<bool>(true);
        cvarManager
            ->registerCvar("wm_enabled", "1", "Waymark Enabled", true, true, 0.0f, true, 1.0f, true)
            .bindTo(enabled_);
        gameWrapper->HookEvent("Function TAGame.GameEvent_Soccar_TA.EventGoalScored",
                               [this](std::string) { ++goals_; });
        gameWrapper->RegisterDrawable([this](CanvasWrapper canvas) { Render(canvas); });
#if defined(FAULTY_STRAY)
        new (strayHandle) CVarWrapper(cvarManager->getCvar("wm_enabled"));
#endif
    }

    void DrawSettingsPanel() override {}
    std::string GetPanelName() override {
        return "Waymark";
    }
    void SetUiContext(std::uintptr_t) override {}

private:
    void Render(CanvasWrapper canvas) {
        if (!*enabled_ || !(gameWrapper->IsInFreeplay() || gameWrapper->IsInReplay())) {
            return;
        }
        BallWrapper ball = gameWrapper->GetGameEventAsServer().GetBall();
        CameraWrapper camera = gameWrapper->GetCamera();
        if (ball.IsNull() || camera.IsNull()) {
            return;
        }
        const Vector from = ball.GetLocation();
#if defined(FAULTY_CRASH)
        if (!std::isfinite(from.X) || !std::isfinite(from.Y) || !std::isfinite(from.Z)) {
            __builtin_trap();
        }
#endif
#if defined(FAULTY_HANDLE)
        keptCanvases_.push_back(canvas);
#endif
        const float fov = camera.GetFOV();
        const ViewFrustum frustum =
            ViewFrustum::Build(canvas, RotatorToQuaternion(camera.GetRotation()),
                               camera.GetLocation(), fov, 50.0f, 20000.0f);
        if (!frustum.BoundsTheView(camera.GetLocation(), fov, 50.0f)) {
            return;
        }
        canvas.SetColor(0, 128, 255, 200);
        for (const Vector& mark : kMarks) {
            const LineSegment segment{from, mark, 2.0f};
#if defined(FAULTY_UNCLIPPED)
            segment.Draw(canvas);
#else
            segment.DrawClipped(canvas, frustum);
#endif
        }
    }

    std::shared_ptr<bool> enabled_;
    long goals_ = 0;
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
        instance = std::make_shared<Waymark>();
    }
    return &instance;
}

TEST_MODULE_EXPORT void deleteMe() {
    instance.reset();
}

TEST_MODULE_EXPORT extern const PluginDescriptor exports;
constinit const PluginDescriptor exports = TestModuleDescriptor(
    __FILE__, "Waymark", "lines from the ball to the centre circle", &getPlugin, &deleteMe);

} // extern "C"
