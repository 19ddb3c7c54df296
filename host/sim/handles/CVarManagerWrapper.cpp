#include "sdk/CVarManagerWrapper.h"

#include "sim/Host.h"

CVarManagerWrapper::CVarManagerWrapper(sim::Host* host)
    : HostHandle(host, HandleKind::CVarManager) {}

CVarWrapper CVarManagerWrapper::registerCvar(std::string name, std::string defaultValue,
                                             std::string description, bool searchable, bool hasMin,
                                             float min, bool hasMax, float max, bool saveToConfig) {
    host_->log.Record("registerCvar", std::string_view(name), std::string_view(defaultValue),
                      std::string_view(description), searchable, hasMin, min, hasMax, max,
                      saveToConfig);
    sim::Variable variable;
    variable.name = std::move(name);
    variable.defaultValue = std::move(defaultValue);
    variable.description = std::move(description);
    variable.searchable = searchable;
    variable.hasMin = hasMin;
    variable.min = min;
    variable.hasMax = hasMax;
    variable.max = max;
    variable.saveToConfig = saveToConfig;
    return CVarWrapper(host_, &host_->console.Register(std::move(variable)));
}

CVarWrapper CVarManagerWrapper::getCvar(std::string name) {
    host_->log.Record("getCvar", std::string_view(name));
    return CVarWrapper(host_, host_->console.Find(name));
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
    host_->log.Record("executeCommand", std::string_view(command), log);
    if (log) {
        host_->console.output.push_back("> " + command);
    }
    host_->console.Execute(command);
}
