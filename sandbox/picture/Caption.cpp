#include "picture/Caption.h"

namespace sandbox {

std::string CaptionWithVariables(std::string head, const sim::Console& console) {
    for (const auto& [name, variable] : console.Variables()) {
        head += "  " + name + " " + variable.value;
    }
    return head;
}

} // namespace sandbox
