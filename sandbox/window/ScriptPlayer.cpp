#include "window/ScriptPlayer.h"

#include <algorithm>
#include <exception>
#include <string>

#include <SDL.h>

#include "base/ProgramPath.h"
#include "base/Say.h"
#include "picture/PngFile.h"
#include "picture/Readback.h"
#include "session/Session.h"

namespace sandbox {

namespace {

void PushKey(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// Text as the keyboard types it, in the pieces an SDL text event holds.
void PushText(const std::string& text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    constexpr std::size_t kPiece = sizeof event.text.text - 1;
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        const std::string piece = text.substr(at, kPiece);
        std::fill(std::begin(event.text.text), std::end(event.text.text), '\0');
        std::copy(piece.begin(), piece.end(), event.text.text);
        SDL_PushEvent(&event);
    }
}

ImVec2 Middle(const PanelWidget& widget) {
    return ImVec2((widget.min.x + widget.max.x) * 0.5f, (widget.min.y + widget.max.y) * 0.5f);
}

} // namespace

ScriptPlayer::ScriptPlayer(std::vector<ScriptAction> script, std::FILE* info)
    : script_(std::move(script)), info_(info) {
    for (const ScriptAction& action : script_) {
        lastFrame_ = std::max(lastFrame_, action.frame);
    }
}

void ScriptPlayer::Act(int frame, ConsoleWindow& console, Session& session,
                       const PanelWidget& panel) {
    std::erase_if(held_, [frame](const HeldKey& held) {
        if (held.releaseFrame != frame) {
            return false;
        }
        PushKey(held.key, false);
        return true;
    });
    for (const ScriptAction& action : script_) {
        if (action.frame != frame) {
            continue;
        }
        switch (action.kind) {
        case ScriptAction::Kind::ClickAt:
            clicks_.push_back({ImVec2(action.x, action.y), frame});
            break;
        case ScriptAction::Kind::ClickPanel:
            if (panel.drawn) {
                clicks_.push_back({Middle(panel), frame});
            } else {
                std::fprintf(stderr, "warning: frame %d: the panel drew no widget to click\n",
                             frame);
            }
            break;
        case ScriptAction::Kind::ClickConsole:
            if (const std::optional<ImVec2> line = console.InputLineCentre()) {
                clicks_.push_back({*line, frame});
            }
            break;
        case ScriptAction::Kind::Key:
        case ScriptAction::Kind::Hold:
            PushKey(action.keyCode, true);
            held_.push_back({action.keyCode, frame + std::max(1, action.frames)});
            break;
        case ScriptAction::Kind::Console: {
            const Session::ScriptedLines scripted(session);
            console.Type(session.Host().console, action.text);
            break;
        }
        case ScriptAction::Kind::Type:
            PushText(action.text);
            break;
        case ScriptAction::Kind::Screenshot:
        case ScriptAction::Kind::Quit:
            break;
        }
    }
}

void ScriptPlayer::Point(int frame) const {
    for (const Click& click : clicks_) {
        const int phase = frame - click.startFrame;
        if (phase >= 0 && phase <= 2) {
            ImGui::GetIO().MousePos = click.at;
            ImGui::GetIO().MouseDown[0] = phase == 1;
        }
    }
}

void ScriptPlayer::Photograph(int frame, SDL_Renderer* renderer, Session& session) const {
    for (const ScriptAction& action : script_) {
        if (action.frame != frame || action.kind != ScriptAction::Kind::Screenshot) {
            continue;
        }
        try {
            WritePng(PathFromText(action.text), ReadPixels(renderer), "screenshot");
            // Not in the console: a script's screenshots would bury what it says.
            Say(info_, "wrote screenshot " + action.text);
        } catch (const std::exception& error) {
            session.NoteFailedWrite("screenshot: " + std::string(error.what()));
        }
    }
}

bool ScriptPlayer::QuitsAt(int frame) const {
    return std::any_of(script_.begin(), script_.end(), [frame](const ScriptAction& action) {
        return action.frame == frame && action.kind == ScriptAction::Kind::Quit;
    });
}

void ScriptPlayer::SayWhenOver(int frame, std::optional<int> frameLimit) {
    if (saidOver_ || script_.empty() || frame < lastFrame_ || !held_.empty() ||
        frameLimit == frame || QuitsAt(frame)) {
        return;
    }
    saidOver_ = true;
    const std::string ends = frameLimit
                                 ? "runs to frame " + std::to_string(*frameLimit) + " (--frames)"
                                 : "stays open until it is closed (end a script with "
                                   "'N quit' to close it)";
    Say(info_, "script: its last item ran at frame " + std::to_string(lastFrame_) +
                   "; the window " + ends);
}

} // namespace sandbox
