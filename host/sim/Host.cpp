#include "Host.h"

namespace sim {

Host::Host() {
    lines.reserve(64);
    console.AddCommand("writeconfig", [this](const std::vector<std::string>&) {
        ++writeConfigCount;
        if (onWriteConfig) {
            onWriteConfig();
        }
    });
}

Host::~Host() = default;

std::shared_ptr<GameWrapper> Host::MakeGameWrapper() {
    return std::make_shared<GameWrapper>(this);
}

std::shared_ptr<CVarManagerWrapper> Host::MakeCVarManager() {
    return std::make_shared<CVarManagerWrapper>(this);
}

void Host::RunFrame() {
    color = Color{};
    lines.clear();
    // By index: a drawable may register another while the frame runs.
    for (std::size_t i = 0; i < drawables_.size(); ++i) {
        drawables_[i](CanvasWrapper(this));
    }
}

int Host::FireHook(std::string_view functionName) {
    int ran = 0;
    for (std::size_t i = 0; i < hooks_.size(); ++i) {
        if (hookNames_[i] == functionName) {
            hooks_[i](std::string(functionName));
            ++ran;
        }
    }
    return ran;
}

void Host::ReleasePluginCallbacks() {
    hookNames_.clear();
    hooks_.clear();
    drawables_.clear();
    for (auto& [name, variable] : console.Variables()) {
        // Bindings are the plugin's flags; the variables themselves stay the host's.
        const_cast<Variable&>(variable).bindings.clear();
    }
}

void Host::HandleMade(HandleKind kind) {
    liveHandles_.fetch_add(1, std::memory_order_relaxed);
    if (log.handles) {
        log.Add(LogLine(std::string("+") + HandleKindName(kind)));
    }
}

void Host::HandleDestroyed(HandleKind kind) {
    liveHandles_.fetch_sub(1, std::memory_order_relaxed);
    if (log.handles) {
        log.Add(LogLine(std::string("-") + HandleKindName(kind)));
    }
}

void Host::AddHook(std::string functionName, std::function<void(std::string)> callback) {
    hookNames_.push_back(std::move(functionName));
    hooks_.push_back(std::move(callback));
}

void Host::AddDrawable(std::function<void(CanvasWrapper)> callback) {
    drawables_.push_back(std::move(callback));
}

} // namespace sim
