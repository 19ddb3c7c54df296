#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/SdkExport.h"

namespace sim {

// A registered console variable. The value is text, as typed.
struct Variable {
    std::string name;
    std::string defaultValue;
    std::string description;
    bool searchable = true;
    bool hasMin = false;
    float min = 0.0f;
    bool hasMax = false;
    float max = 0.0f;
    bool saveToConfig = true;

    std::string value;
    // Flags that follow the value (bindTo).
    std::vector<std::shared_ptr<bool>> bindings;

    // True when the value reads as a non-zero number or is "true" (in any
    // case); "false" and other text that is not a number read false.
    PLUGINSDK_API bool BoolValue() const;
};

// The host's console: variables, commands, and what it answered.
class PLUGINSDK_API Console {
public:
    using Command = std::function<void(const std::vector<std::string>& arguments)>;

    Console();

    // Registers a variable; an existing one of the same name is returned
    // unchanged. A value held for the name beforehand (see Preset) replaces
    // the default.
    Variable& Register(Variable variable);
    Variable* Find(std::string_view name);
    const std::map<std::string, Variable, std::less<>>& Variables() const { return variables_; }

    // Sets a value as the console does: a number outside the variable's range
    // is clamped to it; every bound flag follows.
    void Set(Variable& variable, std::string text);
    // Holds a value for a name that may not be registered yet; it is applied
    // now if it is, else on registration.
    void Preset(const std::string& name, std::string text);

    void AddCommand(std::string name, Command command);
    // The commands' names, in order.
    std::vector<std::string> CommandNames() const;
    // Runs a console line: commands separated by ';', arguments by blanks,
    // double quotes group. "NAME VALUE" sets a variable, "NAME" prints it.
    // Returns false when any part of the line was not understood.
    bool Execute(std::string_view line);
    // Runs a line as a person typing it into the console does: echoed to the
    // output after "] ", then executed.
    bool Type(std::string_view line);
    // The first command of the line that names neither a command nor a
    // variable, checked before the line runs; empty when there is none.
    std::string FirstUnknown(std::string_view line) const;

    // Everything the console printed, oldest first.
    std::vector<std::string> output;

private:
    bool RunOne(const std::vector<std::string>& words);

    std::map<std::string, Variable, std::less<>> variables_;
    std::map<std::string, std::string, std::less<>> presets_;
    std::map<std::string, Command, std::less<>> commands_;
};

// Splits a console line into commands, each into words.
PLUGINSDK_API std::vector<std::vector<std::string>> SplitConsoleLine(std::string_view line);

} // namespace sim
