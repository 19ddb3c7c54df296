#include "sdk/ActorWrapper.h"

#include "sim/Host.h"

ActorWrapper::ActorWrapper(sim::Host* host, sim::Actor* actor, HandleKind kind)
    : HostHandle(host, kind), actor_(actor) {}

bool ActorWrapper::IsNull() const {
    host_->log.Record("IsNull");
    return actor_ == nullptr;
}

Vector ActorWrapper::GetLocation() const {
    host_->log.Record("GetLocation");
    return actor_ ? actor_->location : Vector{};
}
