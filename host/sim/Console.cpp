#include "sim/Console.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

// The number a text reads as, if all of it is one; blanks may follow it.
bool ParseNumber(const std::string& text, float& out) {
    const char* start = text.c_str();
    char* end = nullptr;
    out = std::strtof(start, &end);
    // Nothing read: no number, even if what follows is blank.
    if (end == nullptr || end == start) {
        return false;
    }
    while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end))) {
        ++end;
    }
    return *end == '\0';
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) {
            return false;
        }
    }
    return true;
}

std::string NumberText(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    return buffer;
}

// Clamps a numeric value into the variable's range; other text passes as it is.
std::string Clamped(const Variable& variable, std::string text) {
    float number = 0.0f;
    if (!ParseNumber(text, number) || std::isnan(number)) {
        return text;
    }
    if (variable.hasMin && number < variable.min) {
        return NumberText(variable.min);
    }
    if (variable.hasMax && number > variable.max) {
        return NumberText(variable.max);
    }
    return text;
}

} // namespace

bool Variable::BoolValue() const {
    // A switch typed as true or false (--set qm_enabled=true) means what a
    // scenario's JSON true and false mean, 1 and 0.
    if (EqualsIgnoringCase(value, "true")) {
        return true;
    }
    if (EqualsIgnoringCase(value, "false")) {
        return false;
    }
    float number = 0.0f;
    char* end = nullptr;
    number = std::strtof(value.c_str(), &end);
    if (end == value.c_str() || std::isnan(number)) {
        return false;
    }
    return number != 0.0f;
}

Console::Console() = default;

Variable& Console::Register(Variable variable) {
    if (auto found = variables_.find(variable.name); found != variables_.end()) {
        return found->second;
    }
    std::string value = variable.defaultValue;
    if (auto preset = presets_.find(variable.name); preset != presets_.end()) {
        value = preset->second;
        presets_.erase(preset);
    }
    std::string name = variable.name;
    Variable& stored = variables_.emplace(name, std::move(variable)).first->second;
    stored.value = Clamped(stored, std::move(value));
    return stored;
}

Variable* Console::Find(std::string_view name) {
    auto found = variables_.find(name);
    return found == variables_.end() ? nullptr : &found->second;
}

void Console::Set(Variable& variable, std::string text) {
    variable.value = Clamped(variable, std::move(text));
    const bool value = variable.BoolValue();
    for (const auto& flag : variable.bindings) {
        *flag = value;
    }
}

void Console::Preset(const std::string& name, std::string text) {
    if (Variable* variable = Find(name)) {
        Set(*variable, std::move(text));
    } else {
        presets_[name] = std::move(text);
    }
}

void Console::AddCommand(std::string name, Command command) {
    commands_[std::move(name)] = std::move(command);
}

std::vector<std::string> Console::CommandNames() const {
    std::vector<std::string> names;
    for (const auto& [name, command] : commands_) {
        names.push_back(name);
    }
    return names;
}

bool Console::Execute(std::string_view line) {
    bool understood = true;
    for (const auto& words : SplitConsoleLine(line)) {
        understood = RunOne(words) && understood;
    }
    return understood;
}

bool Console::Type(std::string_view line) {
    output.push_back("] " + std::string(line));
    return Execute(line);
}

std::string Console::FirstUnknown(std::string_view line) const {
    for (const auto& words : SplitConsoleLine(line)) {
        const std::string& name = words.front();
        if (commands_.find(name) == commands_.end() && variables_.find(name) == variables_.end()) {
            return name;
        }
    }
    return {};
}

bool Console::RunOne(const std::vector<std::string>& words) {
    const std::string& name = words.front();
    if (auto command = commands_.find(name); command != commands_.end()) {
        command->second(std::vector<std::string>(words.begin() + 1, words.end()));
        return true;
    }
    if (Variable* variable = Find(name)) {
        if (words.size() == 1) {
            output.push_back(name + " = \"" + variable->value + "\"");
        } else {
            Set(*variable, words[1]);
        }
        return true;
    }
    output.push_back("Unknown command: " + name);
    return false;
}

std::vector<std::vector<std::string>> SplitConsoleLine(std::string_view line) {
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;

    auto endWord = [&] {
        if (inWord) {
            words.push_back(std::move(word));
            word.clear();
            inWord = false;
        }
    };
    auto endCommand = [&] {
        endWord();
        if (!words.empty()) {
            commands.push_back(std::move(words));
            words.clear();
        }
    };

    for (char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ';') {
            endCommand();
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            endWord();
        } else {
            word += c;
            inWord = true;
        }
    }
    endCommand();
    return commands;
}

} // namespace sim
