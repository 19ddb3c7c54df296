#include "sdk/GameWrapper.h"

#include "sim/Host.h"

GameWrapper::GameWrapper(sim::Host* host) : HostHandle(host, HandleKind::Game) {}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
    host_->log.Record("HookEvent", std::string_view(eventName));
    host_->AddHook(std::move(eventName), std::move(callback));
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback) {
    host_->log.Record("RegisterDrawable");
    host_->AddDrawable(std::move(callback));
}

bool GameWrapper::IsInCustomTraining() const {
    host_->log.Record("IsInCustomTraining");
    return host_->mode == sim::GameMode::CustomTraining;
}

bool GameWrapper::IsInFreeplay() const {
    host_->log.Record("IsInFreeplay");
    return host_->mode == sim::GameMode::Freeplay;
}

bool GameWrapper::IsInReplay() const {
    host_->log.Record("IsInReplay");
    return host_->mode == sim::GameMode::Replay;
}

ServerWrapper GameWrapper::GetGameEventAsServer() const {
    host_->log.Record("GetGameEventAsServer");
    return ServerWrapper(host_, host_->serverPresent);
}

CameraWrapper GameWrapper::GetCamera() const {
    host_->log.Record("GetCamera");
    return CameraWrapper(host_, host_->camera ? &*host_->camera : nullptr);
}
