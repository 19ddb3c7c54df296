#pragma once

#include <stdexcept>

namespace sandbox {

// Something the user gave us is wrong: an option, a scenario, a module. The
// message names the file and field; the program exits with status 2 before
// writing any output.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sandbox
