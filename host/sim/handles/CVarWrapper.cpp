#include "sdk/CVarWrapper.h"

#include "sim/Host.h"

CVarWrapper::CVarWrapper(sim::Host* host, sim::Variable* variable)
    : HostHandle(host, HandleKind::CVar), variable_(variable) {}

bool CVarWrapper::IsNull() const {
    return variable_ == nullptr;
}

void CVarWrapper::bindTo(std::shared_ptr<bool> flag) {
    host_->log.Record("bindTo");
    if (variable_ == nullptr || flag == nullptr) {
        return;
    }
    *flag = variable_->BoolValue();
    variable_->bindings.push_back(std::move(flag));
}

bool CVarWrapper::getBoolValue() const {
    host_->log.Record("getBoolValue");
    return variable_ != nullptr && variable_->BoolValue();
}

void CVarWrapper::setValue(int value) {
    host_->log.Record("setValue", value);
    if (variable_ != nullptr) {
        host_->console.Set(*variable_, std::to_string(value));
    }
}
