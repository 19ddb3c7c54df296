#pragma once

#include <cstdio>
#include <optional>
#include <set>
#include <vector>

#include "picture/SettingsWindow.h"
#include "scenario/Scenario.h"
#include "session/HostFrame.h"
#include "session/Session.h"
#include "session/TraceWriter.h"
#include "window/ConsoleWindow.h"
#include "window/ModuleWatcher.h"
#include "window/ScriptPlayer.h"
#include "window/SdlWindow.h"

union SDL_Event;

namespace sandbox {

class Interruption;

// One run of the window, frame after frame, until it is closed, the script
// quits or the frame limit is reached. Each frame takes these steps in order:
// the script's actions due, a rebuilt module asked to be reloaded, the user's
// input, the scene moved, then the host's frame (HostFrame) drawn into the
// window with the console over it, the screenshots due, and the picture shown.
class WindowRun {
public:
    // Everything given must outlive this.
    WindowRun(Session& session, Window& window, TraceWriter& trace, ScriptPlayer& script,
              const Interruption& interruption);

    // Returns how many frames ran.
    int Run(std::optional<int> frameLimit);

private:
    // The game as the window shows it: the scenario's motion while playing;
    // the user's camera and ball once they take over.
    struct Scene {
        bool playing = true;
        int scenarioFrame = 1;
        FrameState game;
    };

    void WatchModule();
    void TakeInput();
    void TakeKey(const SDL_Event& event);
    void TakeMouse(const SDL_Event& event);
    void MoveScene(float seconds);
    void Draw();
    std::string Caption() const;

    Session& session_;
    Window& window_;
    ScriptPlayer& script_;
    const Interruption& interruption_;
    HostFrame hostFrame_;
    ConsoleWindow console_;
    std::optional<ModuleWatcher> watcher_;
    Scene scene_;
    std::set<int> held_; // SDL keycodes held down
    PanelWidget panel_;
    bool typing_ = false; // the console's input line has the keyboard
    bool running_ = true;
    int frame_ = 0;
};

} // namespace sandbox
