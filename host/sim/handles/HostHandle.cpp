#include "sdk/HostHandle.h"

#include "sim/Host.h"

const char* HandleKindName(HandleKind kind) {
    switch (kind) {
    case HandleKind::Game:
        return "GameWrapper";
    case HandleKind::Server:
        return "ServerWrapper";
    case HandleKind::Actor:
        return "ActorWrapper";
    case HandleKind::Ball:
        return "BallWrapper";
    case HandleKind::Camera:
        return "CameraWrapper";
    case HandleKind::Canvas:
        return "CanvasWrapper";
    case HandleKind::CVarManager:
        return "CVarManagerWrapper";
    case HandleKind::CVar:
        return "CVarWrapper";
    }
    return "HostHandle";
}

HostHandle::HostHandle(sim::Host* host, HandleKind kind) : host_(host), kind_(kind) {
    host_->HandleMade(kind_);
}

HostHandle::HostHandle(const HostHandle& other) : host_(other.host_), kind_(other.kind_) {
    host_->HandleMade(kind_);
}

// The two handles stay two handles. Within one host and kind nothing is made
// or destroyed; otherwise this handle stops being one of its old host's and
// becomes a handle of the other's host and kind, so every host's count (and
// its log of handles made and destroyed) stays exact.
HostHandle& HostHandle::operator=(const HostHandle& other) {
    if (host_ != other.host_ || kind_ != other.kind_) {
        other.host_->HandleMade(other.kind_);
        host_->HandleDestroyed(kind_);
        host_ = other.host_;
        kind_ = other.kind_;
    }
    return *this;
}

HostHandle::~HostHandle() {
    host_->HandleDestroyed(kind_);
}
