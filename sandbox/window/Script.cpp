#include "Script.h"

#include <cctype>
#include <charconv>
#include <filesystem>

#include <SDL.h>

#include "InputError.h"

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
    if (!Read(TakeWord(rest), action.frame) || action.frame < 1) {
        throw fail("expected a frame number from 1 first");
    }
    const std::string_view verb = TakeWord(rest);
    if (verb == "click") {
        if (rest == "panel") {
            action.kind = ScriptAction::Kind::ClickPanel;
            return action;
        }
        action.kind = ScriptAction::Kind::ClickAt;
        if (!Read(TakeWord(rest), action.x) || !Read(TakeWord(rest), action.y) || !rest.empty()) {
            throw fail("expected 'click X Y' or 'click panel'");
        }
    } else if (verb == "key") {
        action.kind = ScriptAction::Kind::Key;
        action.text = std::string(rest);
        action.keyCode = SDL_GetKeyFromName(action.text.c_str());
        if (action.text.empty() || action.keyCode == SDLK_UNKNOWN) {
            throw fail("unknown key name '" + action.text + "'");
        }
    } else if (verb == "console") {
        action.kind = ScriptAction::Kind::Console;
        action.text = std::string(rest);
        if (action.text.empty()) {
            throw fail("expected a console line");
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
                   "' (expected click, key, console or screenshot)");
    }
    return action;
}

} // namespace

std::vector<ScriptAction> ParseScript(std::string_view text) {
    std::vector<ScriptAction> actions;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(";\n");
        const std::string_view item = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!item.empty()) {
            actions.push_back(ParseItem(item));
        }
    }
    return actions;
}

} // namespace sandbox
