#include "sdk/ActorWrapper.h"

#include "sim/Host.h"

ActorWrapper::ActorWrapper(sim::Host* host, sim::Actor* actor, HandleKind kind)
    : HostHandle(host, kind), actor_(actor) {}

bool ActorWrapper::IsNull() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("IsNull"));
    }
    return actor_ == nullptr;
}

Vector ActorWrapper::GetLocation() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetLocation"));
    }
    return actor_ ? actor_->location : Vector{};
}
