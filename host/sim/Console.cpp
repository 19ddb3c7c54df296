#include "sim/Console.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "files/QuotedText.h"

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

// Letters added, dropped or changed to turn `a` into `b` (Levenshtein).
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
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

// The name among `names` a slip of the keyboard away from `name` (at most
// two letters added, dropped or changed, and fewer than it has), or empty.
std::string_view ClosestName(std::string_view name, const std::vector<std::string_view>& names) {
    std::string_view closest;
    std::size_t best = std::min<std::size_t>(3, name.size());
    for (std::string_view known : names) {
        if (const std::size_t distance = EditDistance(name, known); distance < best) {
            best = distance;
            closest = known;
        }
    }
    return closest;
}

} // namespace

std::string SwitchValueProblem(std::string_view text) {
    float number = 0.0f;
    if (EqualsIgnoringCase(text, "true") || EqualsIgnoringCase(text, "false") ||
        (ParseNumber(std::string(text), number) && !std::isnan(number))) {
        return {};
    }
    return files::Quoted(text) + " is not a switch value; use 1 or 0, or true or false";
}

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
    std::string origin = "default";
    if (auto preset = presets_.find(variable.name); preset != presets_.end()) {
        value = std::move(preset->second.value);
        origin = std::move(preset->second.origin);
        presets_.erase(preset);
    }
    std::string name = variable.name;
    Variable& stored = variables_.emplace(name, std::move(variable)).first->second;
    stored.value = Clamped(stored, std::move(value));
    stored.origin = std::move(origin);
    return stored;
}

Variable* Console::Find(std::string_view name) {
    auto found = variables_.find(name);
    return found == variables_.end() ? nullptr : &found->second;
}

void Console::Set(Variable& variable, std::string text, std::string origin) {
    variable.value = Clamped(variable, std::move(text));
    variable.origin = std::move(origin);
    const bool value = variable.BoolValue();
    for (const auto& flag : variable.bindings) {
        *flag = value;
    }
}

void Console::Preset(const std::string& name, std::string text, std::string origin) {
    if (Variable* variable = Find(name)) {
        Set(*variable, std::move(text), std::move(origin));
    } else {
        presets_[name] = {std::move(text), std::move(origin)};
    }
}

void Console::AddCommand(std::string name, Command command, ArgumentCheck check) {
    commands_[std::move(name)] = {std::move(command), std::move(check)};
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

std::string Console::Problem(std::string_view line) const {
    for (const auto& words : SplitConsoleLine(line)) {
        if (std::string problem = PartProblem(words); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::string Console::UnknownName(std::string_view name) const {
    std::string message = name.empty() ? std::string("an empty command name")
                                       : "unknown command or variable " + files::Quoted(name);
    std::vector<std::string_view> names;
    for (const auto& [known, command] : commands_) {
        names.push_back(known);
    }
    for (const auto& [known, variable] : variables_) {
        names.push_back(known);
    }
    if (const std::string_view close = ClosestName(name, names); !close.empty()) {
        message += " (did you mean " + std::string(close) + "?)";
    }
    return message;
}

std::string Console::PartProblem(const std::vector<std::string>& words) const {
    const std::string& name = words.front();
    const std::vector<std::string> arguments(words.begin() + 1, words.end());
    if (auto command = commands_.find(name); command != commands_.end()) {
        return command->second.check ? command->second.check(arguments) : std::string();
    }
    if (auto variable = variables_.find(name); variable != variables_.end()) {
        if (!arguments.empty() && variable->second.IsSwitch()) {
            if (std::string problem = SwitchValueProblem(arguments.front()); !problem.empty()) {
                return name + ": " + problem;
            }
        }
        return {};
    }
    return UnknownName(name);
}

bool Console::RunOne(const std::vector<std::string>& words) {
    if (const std::string problem = PartProblem(words); !problem.empty()) {
        output.push_back(problem);
        return false;
    }
    const std::string& name = words.front();
    if (auto command = commands_.find(name); command != commands_.end()) {
        command->second.run(std::vector<std::string>(words.begin() + 1, words.end()));
        return true;
    }
    Variable& variable = *Find(name);
    if (words.size() == 1) {
        output.push_back(name + " = " + files::Quoted(variable.value));
    } else {
        Set(variable, words[1]);
    }
    return true;
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
