#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

// One step of scripted input for the window, at a frame counted from 1.
struct ScriptAction {
    enum class Kind {
        ClickAt,    // a left click at (x, y) in window pixels
        ClickPanel, // a left click on the middle of the plugin panel's last widget
        Key,        // a key pressed and released (keyCode is an SDL_Keycode)
        Console,    // a line typed into the host's console (text)
        Screenshot, // the frame as drawn, written to a PNG (text is the path)
    };

    int frame = 1;
    Kind kind = Kind::Key;
    float x = 0.0f;
    float y = 0.0f;
    int keyCode = 0;
    std::string text;
};

// Reads "FRAME ACTION [ARGS]" items separated by ';' or newlines, e.g.
// "5 click panel; 8 screenshot after.png; 10 key Escape". Actions: click X Y,
// click panel, key NAME (an SDL key name), console LINE, screenshot PATH.
// Throws InputError naming the item.
std::vector<ScriptAction> ParseScript(std::string_view text);

} // namespace sandbox
