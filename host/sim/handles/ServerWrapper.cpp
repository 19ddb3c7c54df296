#include "sdk/ServerWrapper.h"

#include "sim/Host.h"

ServerWrapper::ServerWrapper(sim::Host* host, bool present)
    : HostHandle(host, HandleKind::Server), present_(present) {}

bool ServerWrapper::IsNull() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("IsNull"));
    }
    return !present_;
}

BallWrapper ServerWrapper::GetBall() const {
    if (host_->log.calls) {
        host_->log.Add(sim::LogLine("GetBall"));
    }
    sim::Actor* ball = present_ && host_->ball ? &*host_->ball : nullptr;
    return BallWrapper(host_, ball);
}
