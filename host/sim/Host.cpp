#include "sim/Host.h"

#include <bit>

namespace sim {

const char* GameModeName(GameMode mode) {
    switch (mode) {
    case GameMode::Freeplay:
        return "freeplay";
    case GameMode::CustomTraining:
        return "training";
    case GameMode::Replay:
        return "replay";
    case GameMode::None:
        break;
    }
    return "none";
}

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
    projections.clear();
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

namespace {

// Bit for bit, so that -0 and 0, or two not-a-numbers, never share a view
// that was made from the other.
bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

bool SameBits(Vector a, Vector b) {
    return SameBits(a.X, b.X) && SameBits(a.Y, b.Y) && SameBits(a.Z, b.Z);
}

} // namespace

Vector2F Host::Project(Vector world) {
    const Actor& eye = *camera;
    const bool same = viewInputs_ && SameBits(viewInputs_->location, eye.location) &&
                      viewInputs_->rotation == eye.rotation &&
                      SameBits(viewInputs_->fov, eye.fov) && viewInputs_->canvas == canvasSize;
    if (!same) {
        view_.emplace(eye.location, eye.rotation, eye.fov, canvasSize);
        viewInputs_ = ViewInputs{eye.location, eye.rotation, eye.fov, canvasSize};
    }
    return view_->Project(world);
}

void Host::CountHandle(HandleKind kind, int change) {
    if (std::this_thread::get_id() == ownThread_) {
        ownThreadHandles_[std::size_t(kind)] += change;
    } else {
        otherThreadHandles_[std::size_t(kind)].fetch_add(change, std::memory_order_relaxed);
    }
    if (log.handles) {
        log.Add(LogLine(std::string(change > 0 ? "+" : "-") + HandleKindName(kind)));
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
