#include "window/Script.h"

#include <cctype>
#include <charconv>
#include <filesystem>

#include <SDL.h>

#include "base/InputError.h"

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
    if (verb == "click") {
        if (rest == "panel") {
            action.kind = ScriptAction::Kind::ClickPanel;
            return action;
        }
        if (rest == "console") {
            action.kind = ScriptAction::Kind::ClickConsole;
            return action;
        }
        action.kind = ScriptAction::Kind::ClickAt;
        if (!Read(TakeWord(rest), action.x) || !Read(TakeWord(rest), action.y) || !rest.empty()) {
            throw fail("expected 'click X Y', 'click panel' or 'click console'");
        }
    } else if (verb == "key" || verb == "hold") {
        // "key" takes the rest of the item as the name ("key Left Shift"),
        // "hold" the next word, before its frame count.
        const bool hold = verb == "hold";
        action.kind = hold ? ScriptAction::Kind::Hold : ScriptAction::Kind::Key;
        action.text = std::string(hold ? TakeWord(rest) : rest);
        action.keyCode = SDL_GetKeyFromName(action.text.c_str());
        if (action.text.empty() || action.keyCode == SDLK_UNKNOWN) {
            throw fail("unknown key name '" + action.text + "'");
        }
        if (hold && (!Read(TakeWord(rest), action.frames) || action.frames < 1 || !rest.empty())) {
            throw fail("expected 'hold NAME FRAMES' with FRAMES from 1");
        }
    } else if (verb == "console") {
        action.kind = ScriptAction::Kind::Console;
        action.text = std::string(Unquoted(rest));
        if (action.text.empty()) {
            throw fail("expected a console line");
        }
    } else if (verb == "type") {
        action.kind = ScriptAction::Kind::Type;
        action.text = std::string(Unquoted(rest));
        if (action.text.empty()) {
            throw fail("expected text to type");
        }
    } else if (verb == "screenshot") {
        action.kind = ScriptAction::Kind::Screenshot;
        action.text = std::string(rest);
        const std::filesystem::path path(action.text);
        std::error_code error;
        if (action.text.empty() || std::filesystem::is_directory(path, error) ||
            (path.has_parent_path() && !std::filesystem::is_directory(path.parent_path(), error))) {
            throw fail("expected the path of a PNG file in an existing folder");
        }
    } else {
        throw fail("unknown action '" + std::string(verb) +
                   "' (expected click, key, hold, console, type or screenshot)");
    }
    return action;
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
