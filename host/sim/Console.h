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
    // Where the value came from: "default" until it is set, then what set it
    // said (Console::Set, Console::Preset): "the console", "the saved config",
    // "--set", ...
    std::string origin = "default";
    // Flags that follow the value (bindTo).
    std::vector<std::shared_ptr<bool>> bindings;

    // True when the value reads as a non-zero number or is "true" (in any
    // case); "false" and other text that is not a number read false.
    PLUGINSDK_API bool BoolValue() const;
    // A variable bound to a flag is a switch: its values are read as on or off.
    bool IsSwitch() const { return !bindings.empty(); }
};

// Why `text` would not switch a switch as it evidently means to, or empty
// when it would: a switch takes a number (0 is off) or true or false in any
// case. "on", "yes" and "1abc" are refused rather than read as off, or as on
// by their leading digit.
PLUGINSDK_API std::string SwitchValueProblem(std::string_view text);

// The host's console: variables, commands, and what it answered.
class PLUGINSDK_API Console {
public:
    using Command = std::function<void(const std::vector<std::string>& arguments)>;
    // What is wrong with a command's arguments ("usage: savescenario PATH"),
    // or empty when the command can take them.
    using ArgumentCheck = std::function<std::string(const std::vector<std::string>& arguments)>;

    Console();

    // Registers a variable; an existing one of the same name is returned
    // unchanged. A value held for the name beforehand (see Preset) replaces
    // the default.
    Variable& Register(Variable variable);
    Variable* Find(std::string_view name);
    const std::map<std::string, Variable, std::less<>>& Variables() const { return variables_; }

    // Sets a value as the console does: a number outside the variable's range
    // is clamped to it; every bound flag follows. `origin` says what set it.
    void Set(Variable& variable, std::string text, std::string origin = "the console");
    // Holds a value for a name that may not be registered yet; it is applied
    // now if it is, else on registration.
    void Preset(const std::string& name, std::string text, std::string origin = "the console");

    // A command that refuses arguments `check` finds wrong: the console says
    // why and does not run it.
    void AddCommand(std::string name, Command command, ArgumentCheck check = {});
    // The commands' names, in order.
    std::vector<std::string> CommandNames() const;
    // Runs a console line: commands separated by ';', arguments by blanks,
    // double quotes group. "NAME VALUE" sets a variable, "NAME" prints it.
    // Each part runs or is refused on its own, with the reason in the
    // output (see Problem). Returns false when any part was refused.
    bool Execute(std::string_view line);
    // Runs a line as a person typing it into the console does: echoed to the
    // output after "] ", then executed.
    bool Type(std::string_view line);
    // What would keep the line from running as meant, checked before any of
    // it runs: the first part that names nothing (an empty name, or one that
    // is neither a command nor a variable, with the closest name suggested),
    // gives a command arguments it refuses, or gives a switch a value it
    // would not read as meant. Empty when every part would run.
    std::string Problem(std::string_view line) const;
    // "unknown command or variable 'NAME'", with " (did you mean CLOSE?)"
    // when a registered name is a slip of the keyboard away.
    std::string UnknownName(std::string_view name) const;

    // Everything the console printed, oldest first.
    std::vector<std::string> output;

private:
    struct HeldValue {
        std::string value;
        std::string origin;
    };
    struct CommandEntry {
        Command run;
        ArgumentCheck check;
    };

    std::string PartProblem(const std::vector<std::string>& words) const;
    bool RunOne(const std::vector<std::string>& words);

    std::map<std::string, Variable, std::less<>> variables_;
    std::map<std::string, HeldValue, std::less<>> presets_;
    std::map<std::string, CommandEntry, std::less<>> commands_;
};

// Splits a console line into commands, each into words.
PLUGINSDK_API std::vector<std::vector<std::string>> SplitConsoleLine(std::string_view line);

} // namespace sim
