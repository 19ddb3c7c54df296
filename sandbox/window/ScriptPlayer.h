#pragma once

#include <cstdio>
#include <optional>
#include <vector>

#include <imgui.h>

#include "picture/SettingsWindow.h"
#include "window/ConsoleWindow.h"
#include "window/Script.h"

struct SDL_Renderer;

namespace sandbox {

class Session;

// Plays a window's --script, frame by frame, as a person at the keyboard and
// mouse would: keys and text arrive as SDL events, so the window and Dear
// ImGui see them as they see a person's; a click moves the pointer there,
// presses on the next frame and releases on the one after; a key is held for
// one frame, so every widget that reads keys once a frame sees it.
class ScriptPlayer {
public:
    // `info` is where screenshots and the script's end are said.
    ScriptPlayer(std::vector<ScriptAction> script, std::FILE* info);

    // Before the frame's events are read: keys and text due are pushed as
    // events, console lines are typed into `console`, clicks start. `panel`
    // is where the plugin panel's last widget was drawn in the last frame.
    // Its console lines are the script's, not a person's (Session::ScriptedLines).
    void Act(int frame, ConsoleWindow& console, Session& session, const PanelWidget& panel);
    // Between the platform's new frame and Dear ImGui's: the pointer and
    // button of every click in progress.
    void Point(int frame) const;
    // After the frame is drawn on `renderer`, before it is presented: the
    // screenshots due. A screenshot that cannot be written is said and
    // noted on `session` as a failed write; the run goes on.
    void Photograph(int frame, SDL_Renderer* renderer, Session& session) const;

    // Whether the script ends the run with this frame (`quit`).
    bool QuitsAt(int frame) const;
    // Says once, after its last item has run, that the script is over and
    // how the window will end: at `frameLimit`, or when it is closed.
    void SayWhenOver(int frame, std::optional<int> frameLimit);

private:
    struct Click {
        ImVec2 at;
        int startFrame = 0;
    };
    struct HeldKey {
        int key;
        int releaseFrame;
    };

    const std::vector<ScriptAction> script_;
    std::FILE* info_;
    std::vector<Click> clicks_;
    std::vector<HeldKey> held_;
    int lastFrame_ = 0;
    bool saidOver_ = false;
};

} // namespace sandbox
