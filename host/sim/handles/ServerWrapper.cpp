#include "sdk/ServerWrapper.h"

#include "sim/Host.h"

ServerWrapper::ServerWrapper(sim::Host* host, bool present)
    : HostHandle(host, HandleKind::Server), present_(present) {}

bool ServerWrapper::IsNull() const {
    host_->log.Record("IsNull");
    return !present_;
}

BallWrapper ServerWrapper::GetBall() const {
    host_->log.Record("GetBall");
    sim::Actor* ball = present_ && host_->ball ? &*host_->ball : nullptr;
    return BallWrapper(host_, ball);
}
