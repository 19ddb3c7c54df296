#include "window/Script.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <utility>

#include <SDL.h>

#include "base/InputError.h"
#include "base/ProgramPath.h"

namespace sandbox {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// The first blank-separated word of `text`, removed from it.
std::string_view TakeWord(std::string_view& text) {
    text = Trimmed(text);
    std::size_t end = 0;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    const std::string_view word = text.substr(0, end);
    text = Trimmed(text.substr(end));
    return word;
}

// Where the item starting `text` ends: at the first ';' or newline outside
// double quotes, or at the end.
std::size_t ItemEnd(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && (text[i] == ';' || text[i] == '\n')) {
            return i;
        }
    }
    return text.size();
}

// `"LINE"` as LINE when the quotes hold all of it; anything else as it is.
std::string_view Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
        text.substr(1, text.size() - 2).find('"') == std::string_view::npos) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

template <typename Number> bool Read(std::string_view word, Number& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// What follows an action's name, read into `action`; each returns the
// problem, or nothing when the item is well formed.
using ArgumentReader = std::string (*)(std::string_view rest, ScriptAction& action);

std::string ReadClick(std::string_view rest, ScriptAction& action) {
    if (rest == "panel") {
        action.kind = ScriptAction::Kind::ClickPanel;
        return {};
    }
    if (rest == "console") {
        action.kind = ScriptAction::Kind::ClickConsole;
        return {};
    }
    action.kind = ScriptAction::Kind::ClickAt;
    if (!Read(TakeWord(rest), action.x) || !Read(TakeWord(rest), action.y) || !rest.empty()) {
        return "expected 'click X Y', 'click panel' or 'click console'";
    }
    return {};
}

std::string ReadKeyName(std::string_view name, ScriptAction& action) {
    action.text = std::string(name);
    action.keyCode = SDL_GetKeyFromName(action.text.c_str());
    if (action.text.empty() || action.keyCode == SDLK_UNKNOWN) {
        return "unknown key name '" + action.text + "'";
    }
    return {};
}

// "key" takes the rest of the item as the name ("key Left Shift"), "hold"
// the next word, before its frame count.
std::string ReadKey(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Key;
    return ReadKeyName(rest, action);
}

std::string ReadHold(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Hold;
    if (std::string problem = ReadKeyName(TakeWord(rest), action); !problem.empty()) {
        return problem;
    }
    if (!Read(TakeWord(rest), action.frames) || action.frames < 1 || !rest.empty()) {
        return "expected 'hold NAME FRAMES' with FRAMES from 1";
    }
    return {};
}

std::string ReadConsole(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Console;
    action.text = std::string(Unquoted(rest));
    return action.text.empty() ? "expected a console line" : "";
}

std::string ReadType(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Type;
    action.text = std::string(Unquoted(rest));
    return action.text.empty() ? "expected text to type" : "";
}

// A screenshot is a PNG, and its name says so: a.gif holding PNG bytes would
// mislead whatever opens it next.
std::string ReadScreenshot(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Screenshot;
    action.text = std::string(rest);
    const std::filesystem::path path = PathFromText(action.text);
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    std::error_code error;
    if (action.text.empty() || std::filesystem::is_directory(path, error) ||
        (path.has_parent_path() && !std::filesystem::is_directory(path.parent_path(), error))) {
        return "expected the path of a PNG file in an existing folder";
    }
    if (extension != ".png") {
        return "a screenshot is written as PNG: name it NAME.png";
    }
    return {};
}

std::string ReadQuit(std::string_view rest, ScriptAction& action) {
    action.kind = ScriptAction::Kind::Quit;
    return rest.empty() ? "" : "'quit' takes nothing after it";
}

constexpr std::pair<std::string_view, ArgumentReader> kActions[] = {
    {"click", ReadClick},     {"key", ReadKey},   {"hold", ReadHold},
    {"console", ReadConsole}, {"type", ReadType}, {"screenshot", ReadScreenshot},
    {"quit", ReadQuit},
};

ScriptAction ParseItem(std::string_view item) {
    auto fail = [&](const std::string& what) {
        return InputError("--script item '" + std::string(item) + "': " + what);
    };
    std::string_view rest = item;
    ScriptAction action;
    action.item = std::string(item);
    if (!Read(TakeWord(rest), action.frame) || action.frame < 1) {
        throw fail("expected a frame number from 1 first");
    }
    const std::string_view verb = TakeWord(rest);
    for (const auto& [name, read] : kActions) {
        if (verb == name) {
            if (const std::string problem = read(rest, action); !problem.empty()) {
                throw fail(problem);
            }
            return action;
        }
    }
    throw fail("unknown action '" + std::string(verb) +
               "' (expected click, key, hold, console, type, screenshot or quit)");
}

} // namespace

std::vector<ScriptAction> ParseScript(std::string_view text) {
    std::vector<ScriptAction> actions;
    while (!text.empty()) {
        const std::size_t end = ItemEnd(text);
        const std::string_view item = Trimmed(text.substr(0, end));
        text = end == text.size() ? std::string_view() : text.substr(end + 1);
        if (!item.empty()) {
            actions.push_back(ParseItem(item));
        }
    }
    return actions;
}

void RefuseItemsAfter(const std::vector<ScriptAction>& script, int lastFrame) {
    for (const ScriptAction& action : script) {
        if (action.frame > lastFrame) {
            throw InputError("--script item '" + action.item + "': frame " +
                             std::to_string(action.frame) + " comes after the last frame, " +
                             std::to_string(lastFrame) + " (--frames)");
        }
    }
}

} // namespace sandbox
