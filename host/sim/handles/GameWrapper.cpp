#include "sdk/GameWrapper.h"

#include "sim/Host.h"

GameWrapper::GameWrapper(sim::Host* host) : HostHandle(host, HandleKind::Game) {}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("HookEvent") << std::string_view(eventName));
    }
    host_->AddHook(std::move(eventName), std::move(callback));
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback) {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("RegisterDrawable"));
    }
    host_->AddDrawable(std::move(callback));
}

bool GameWrapper::IsInCustomTraining() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("IsInCustomTraining"));
    }
    return host_->mode == sim::GameMode::CustomTraining;
}

bool GameWrapper::IsInFreeplay() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("IsInFreeplay"));
    }
    return host_->mode == sim::GameMode::Freeplay;
}

bool GameWrapper::IsInReplay() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("IsInReplay"));
    }
    return host_->mode == sim::GameMode::Replay;
}

ServerWrapper GameWrapper::GetGameEventAsServer() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetGameEventAsServer"));
    }
    return ServerWrapper(host_, host_->serverPresent);
}

CameraWrapper GameWrapper::GetCamera() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetCamera"));
    }
    return CameraWrapper(host_, host_->camera ? &*host_->camera : nullptr);
}
