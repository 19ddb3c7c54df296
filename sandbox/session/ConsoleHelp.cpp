#include "session/ConsoleHelp.h"

#include "files/QuotedText.h"

#include <string>
#include <vector>

namespace sandbox {

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text.empty() ? "none" : text;
}

} // namespace

void AddConsoleHelp(sim::Console& console) {
    console.AddCommand("help", [&console](const std::vector<std::string>&) {
        std::vector<std::string> variables;
        for (const auto& [name, variable] : console.Variables()) {
            variables.push_back(name);
        }
        console.output.push_back("commands: " + Joined(console.CommandNames()));
        console.output.push_back("variables: " + Joined(variables));
        console.output.push_back("NAME prints a variable, NAME VALUE sets it; ';' separates "
                                 "commands, double quotes group words; Tab completes a name, "
                                 "Up and Down recall lines");
    });
    console.AddCommand("cvarlist", [&console](const std::vector<std::string>&) {
        for (const auto& [name, variable] : console.Variables()) {
            console.output.push_back(name + " " + files::Quoted(variable.value) + " (default " +
                                     files::Quoted(variable.defaultValue) + ") " +
                                     variable.description);
        }
        console.output.push_back(std::to_string(console.Variables().size()) +
                                 (console.Variables().size() == 1 ? " variable" : " variables"));
    });
}

} // namespace sandbox
