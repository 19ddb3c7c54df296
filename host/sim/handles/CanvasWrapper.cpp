#include "sdk/CanvasWrapper.h"

#include "sim/Host.h"

CanvasWrapper::CanvasWrapper(sim::Host* host) : HostHandle(host, HandleKind::Canvas) {}

Vector2 CanvasWrapper::GetSize() const {
    host_->log.Record("GetSize");
    return host_->canvasSize;
}

void CanvasWrapper::SetColor(unsigned char red, unsigned char green, unsigned char blue,
                             unsigned char alpha) {
    host_->log.Record("SetColor", int{red}, int{green}, int{blue}, int{alpha});
    host_->color = sim::Color{red, green, blue, alpha};
}

Vector2F CanvasWrapper::ProjectF(Vector location) const {
    host_->log.Record("ProjectF", location);
    if (host_->recordProjections) {
        host_->projections.push_back(location);
    }
    if (!host_->camera) {
        return {};
    }
    return host_->Project(location);
}

void CanvasWrapper::DrawLine(Vector2F start, Vector2F end) {
    host_->log.Record("DrawLine", start, end);
    host_->lines.push_back({start, end, 1.0f, false, host_->color, host_->projections.size()});
}

void CanvasWrapper::DrawLine(Vector2F start, Vector2F end, float width) {
    host_->log.Record("DrawLine", start, end, width);
    host_->lines.push_back({start, end, width, true, host_->color, host_->projections.size()});
}
