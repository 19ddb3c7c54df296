#include "sdk/CameraWrapper.h"

#include "sim/Host.h"

CameraWrapper::CameraWrapper(sim::Host* host, sim::Actor* camera)
    : ActorWrapper(host, camera, HandleKind::Camera) {}

Vector CameraWrapper::GetLocation() const {
    return ActorWrapper::GetLocation();
}

Rotator CameraWrapper::GetRotation() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetRotation"));
    }
    return actor_ ? actor_->rotation : Rotator{};
}

float CameraWrapper::GetFOV() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetFOV"));
    }
    return actor_ ? actor_->fov : 0.0f;
}
