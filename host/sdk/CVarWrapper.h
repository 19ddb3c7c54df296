#pragma once

#include <memory>
#include <string>

#include "sdk/HostHandle.h"

namespace sim {
struct Variable;
}

// A console variable. Values are kept as text, as the console shows them.
// A null handle (asked for a name that is not registered) reads false and
// ignores writes.
class PLUGINSDK_API CVarWrapper : public HostHandle {
public:
    CVarWrapper(sim::Host* host, sim::Variable* variable);

    bool IsNull() const;
    // Makes `flag` follow the variable. Binding copies the variable's current
    // value into the flag at once, so flag and variable never disagree; from
    // then on every change of the variable is written to the flag too, on the
    // thread that makes the change. The host keeps an owner of the flag until
    // it drops the plugin's registrations.
    void bindTo(std::shared_ptr<bool> flag);
    // True when the value reads as a non-zero number.
    bool getBoolValue() const;
    // Sets the value to the number's text; bound flags follow.
    void setValue(int value);

private:
    sim::Variable* variable_;
};
