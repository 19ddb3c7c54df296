#include "sdk/CameraWrapper.h"

#include "sim/Host.h"

CameraWrapper::CameraWrapper(sim::Host* host, sim::Actor* camera)
    : ActorWrapper(host, camera, HandleKind::Camera) {}

Vector CameraWrapper::GetLocation() const {
    return ActorWrapper::GetLocation();
}

Rotator CameraWrapper::GetRotation() const {
    host_->log.Record("GetRotation");
    return actor_ ? actor_->rotation : Rotator{};
}

float CameraWrapper::GetFOV() const {
    host_->log.Record("GetFOV");
    return actor_ ? actor_->fov : 0.0f;
}
