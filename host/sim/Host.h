#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sdk/CVarManagerWrapper.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/GameWrapper.h"
#include "sdk/HostHandle.h"
#include "sdk/Rotator.h"
#include "sdk/SdkExport.h"
#include "sdk/Vector.h"
#include "sim/CallLog.h"
#include "sim/CameraView.h"
#include "sim/Console.h"

namespace sim {

enum class GameMode { None, Freeplay, CustomTraining, Replay };

// The mode's name as scenarios and messages write it: "none", "freeplay",
// "training", "replay".
PLUGINSDK_API const char* GameModeName(GameMode mode);

// Something in the world: the ball or the camera (which also has a field of view).
struct Actor {
    Vector location;
    Rotator rotation;
    float fov = 90.0f; // degrees, full horizontal; cameras only
};

struct Color {
    unsigned char r = 255;
    unsigned char g = 255;
    unsigned char b = 255;
    unsigned char a = 255;

    friend constexpr bool operator==(Color, Color) = default;
};

// One line the plugin drew on the frame's canvas.
struct DrawnLine {
    Vector2F start;
    Vector2F end;
    float width = 1.0f;
    bool widthGiven = false; // drawn with the three-argument DrawLine
    Color color;
    // How many points had been handed to ProjectF in the frame when the line
    // was drawn, while the host records them (Host::recordProjections).
    std::size_t projectionsBefore = 0;
};

// The game and host behind the SDK's handles, driven by tests and the sandbox.
// Its fields are the simulated game's state, set freely between frames. Every
// handle it gives out refers back to it, so it must outlive them all and the
// plugin's registrations (see ReleasePluginCallbacks).
class PLUGINSDK_API Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The game.
    GameMode mode = GameMode::None;
    bool serverPresent = true;
    std::optional<Actor> ball;
    std::optional<Actor> camera;

    // The frame's canvas: its size, the current colour and what was drawn.
    Vector2 canvasSize{1600, 900};
    Color color;
    std::vector<DrawnLine> lines;
    // With `recordProjections` set, every world point handed to ProjectF in
    // the frame, bit for bit as the plugin handed it, in call order: what a
    // judge of the drawing reads, rather than the call log's text.
    bool recordProjections = false;
    std::vector<Vector> projections;

    Console console;
    CallLog log;

    // Runs after the console's "writeconfig" (the host saves its variables).
    std::function<void()> onWriteConfig;
    int writeConfigCount = 0;

    // The two host references a plugin gets before onLoad (sdk/BakkesModPlugin.h).
    std::shared_ptr<GameWrapper> MakeGameWrapper();
    std::shared_ptr<CVarManagerWrapper> MakeCVarManager();

    // One rendered frame: the canvas starts white and empty, then every
    // registered drawable runs once with a fresh canvas handle.
    void RunFrame();
    // Runs every handler hooked to `functionName`; returns how many ran.
    int FireHook(std::string_view functionName);

    // Drops the plugin's hooks, drawables and variable bindings. Their code
    // lives in the plugin's module, so a host calls this before unloading it.
    void ReleasePluginCallbacks();

    const std::vector<std::string>& HookedFunctions() const { return hookNames_; }
    std::size_t DrawableCount() const { return drawables_.size(); }

    // The canvas position of a world point seen through the camera, which must
    // be present (CanvasWrapper::ProjectF). A real renderer sets its view up
    // once a frame, not once a point: the view is kept and made again only
    // when the camera or the canvas size differs in any bit from last time.
    Vector2F Project(Vector world);

    // Handles alive right now; every copy destroyed once brings this back to zero.
    // Read it on the thread that made the host (as tests do, after joining any
    // threads of their own).
    long LiveHandles() const {
        long live = 0;
        for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
            live += LiveHandles(HandleKind(kind));
        }
        return live;
    }
    // Those of one kind, so a leak can be named.
    long LiveHandles(HandleKind kind) const {
        return ownThreadHandles_[std::size_t(kind)] +
               otherThreadHandles_[std::size_t(kind)].load(std::memory_order_relaxed);
    }

    // For the handles themselves.
    // Inline, since handles are made and destroyed dozens of times a frame: the
    // common case, on the host's own thread with handles not logged, is a
    // plain count.
    void HandleMade(HandleKind kind) {
        if (std::this_thread::get_id() == ownThread_ && !log.handles) {
            ++ownThreadHandles_[std::size_t(kind)];
        } else {
            CountHandle(kind, +1);
        }
    }
    void HandleDestroyed(HandleKind kind) {
        if (std::this_thread::get_id() == ownThread_ && !log.handles) {
            --ownThreadHandles_[std::size_t(kind)];
        } else {
            CountHandle(kind, -1);
        }
    }
    void AddHook(std::string functionName, std::function<void(std::string)> callback);
    void AddDrawable(std::function<void(CanvasWrapper)> callback);

private:
    // Deques: a callback may register another while it runs (a drawable
    // adding a drawable), and a deque that grows keeps the running one where
    // it is; a vector would move it out from under itself.
    std::vector<std::string> hookNames_;
    std::deque<std::function<void(std::string)>> hooks_;
    std::deque<std::function<void(CanvasWrapper)>> drawables_;
    // The live-handle count in two parts. Handles are made and destroyed on the
    // host's own thread many times a frame, where a plain count costs nothing;
    // only other threads pay for an atomic one. A handle made on one thread and
    // destroyed on another moves one count up and the other down, and the sum
    // stays exact.
    // The rest of HandleMade (change +1) and HandleDestroyed (-1).
    void CountHandle(HandleKind kind, int change);

    std::thread::id ownThread_ = std::this_thread::get_id();
    // Each counted by kind; an array index costs the plain count nothing more.
    std::array<long, kHandleKindCount> ownThreadHandles_{};
    std::array<std::atomic<long>, kHandleKindCount> otherThreadHandles_{};

    // What the kept view was made from, and the view.
    struct ViewInputs {
        Vector location;
        Rotator rotation;
        float fov = 0.0f;
        Vector2 canvas;
    };
    std::optional<ViewInputs> viewInputs_;
    std::optional<CameraView> view_;
};

} // namespace sim
