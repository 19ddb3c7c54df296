#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

// One step of scripted input for the window, at a frame counted from 1.
struct ScriptAction {
    enum class Kind {
        ClickAt,      // a left click at (x, y) in window pixels
        ClickPanel,   // a left click on the middle of the plugin panel's last widget
        ClickConsole, // a left click on the console's input line
        Key,          // a key pressed, and released on the next frame (keyCode is an SDL_Keycode)
        Hold,         // a key pressed, and released `frames` frames later
        Console,      // a line typed into the host's console (text)
        Type,         // text typed on the keyboard, into whatever has it (text)
        Screenshot,   // the frame as drawn, written to a PNG (text is the path)
        Quit,         // the run ends once this frame is drawn
    };

    int frame = 1;
    Kind kind = Kind::Key;
    float x = 0.0f;
    float y = 0.0f;
    int keyCode = 0;
    int frames = 0; // Hold: how long
    std::string text;
    std::string item; // as written, for messages
};

// Reads "FRAME ACTION [ARGS]" items separated by ';' or newlines, e.g.
// "5 click panel; 8 screenshot after.png; 10 key Escape". Actions: click X Y,
// click panel, click console, key NAME (an SDL key name), hold NAME FRAMES,
// console LINE, type TEXT, screenshot PATH (a .png), quit. A ';' inside double quotes does not end
// an item, and a console line written wholly in quotes is typed without them: `3 console
// "qm_enabled 0; writeconfig"`. Throws InputError naming the item.
std::vector<ScriptAction> ParseScript(std::string_view text);

// Throws InputError naming the first item due after `lastFrame`, which the
// run would never reach.
void RefuseItemsAfter(const std::vector<ScriptAction>& script, int lastFrame);

} // namespace sandbox
