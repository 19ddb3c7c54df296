// The `validate` subcommand: the validator in validate/ takes the command's
// arguments as a command line of its own.

#include <string>
#include <vector>

#include "Subcommands.h"
#include "Validator.h"

namespace sandbox {

int RunValidate(Arguments arguments) {
    std::vector<std::string> words{"validate"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return ::RunValidate(int(words.size()), argv.data());
}

} // namespace sandbox
