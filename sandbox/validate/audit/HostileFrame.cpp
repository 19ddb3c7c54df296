#include "validate/audit/HostileFrame.h"

#include <climits>
#include <cmath>
#include <limits>

#include "validate/audit/OverlayTargets.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();

// A value of magnitude up to 10^maxExponent, spread evenly over the exponents.
float Scattered(Random& random, double maxExponent) {
    const double magnitude = std::pow(10.0, random.Uniform(-1.0, maxExponent));
    return static_cast<float>(random.Chance(0.5) ? magnitude : -magnitude);
}

Vector ScatteredVector(Random& random, double maxExponent) {
    return {Scattered(random, maxExponent), Scattered(random, maxExponent),
            Scattered(random, maxExponent)};
}

Vector InField(Random& random) {
    return {float(random.Uniform(-4500.0, 4500.0)), float(random.Uniform(-6000.0, 6000.0)),
            float(random.Uniform(-200.0, 2300.0))};
}

int RotationComponent(Random& random) {
    static constexpr int kSpecial[] = {0,     16384,  -16384, 32768, -32768, 49152, -49152,
                                       65536, -65536, 8192,   -8192, 1,      -1};
    static constexpr int kExtreme[] = {INT_MIN, INT_MAX, INT_MIN + 1, 1 << 30, -(1 << 30)};
    const double kind = random.Unit();
    if (kind < 0.65) {
        return int(random.Int(-65536, 65536));
    }
    if (kind < 0.80) {
        return random.Pick<int>(kSpecial);
    }
    if (kind < 0.95) {
        return random.Pick<int>(kSpecial) + int(random.Int(-3, 3));
    }
    if (kind < 0.98) {
        return int(random.Int(INT_MIN, INT_MAX));
    }
    return random.Pick<int>(kExtreme);
}

Rotator AnyRotation(Random& random) {
    return {RotationComponent(random), RotationComponent(random), RotationComponent(random)};
}

float FieldOfView(Random& random) {
    static constexpr float kSpecial[] = {
        0.0f,   1.0f,   179.0f, 180.0f, 200.0f, 360.0f, 90.0f,  60.0f, 110.0f, 120.0f, 0.5f, 179.5f,
        180.5f, 359.0f, 359.5f, 361.0f, 540.0f, 720.0f, -90.0f, -1.0f, 1e-3f,  1e-30f, 1e30f};
    static constexpr float kNonFinite[] = {kNaN, kInf, -kInf};
    const double kind = random.Unit();
    if (kind < 0.35) {
        return float(random.Uniform(1.0, 179.0));
    }
    if (kind < 0.65) {
        return random.Pick<float>(kSpecial);
    }
    if (kind < 0.75) {
        return float(random.Uniform(0.0, 360.0));
    }
    if (kind < 0.85) {
        return float(random.Uniform(179.0, 181.0));
    }
    if (kind < 0.95) {
        return float(random.Uniform(355.0, 365.0));
    }
    return random.Pick<float>(kNonFinite);
}

Vector2 Canvas(Random& random) {
    static constexpr Vector2 kCommon[] = {{1600, 900}, {1920, 1080}, {1280, 720},
                                          {800, 600},  {2560, 1440}, {3840, 2160}};
    static constexpr Vector2 kSpecial[] = {{0, 0},     {1, 1},    {16384, 16384},
                                           {0, 900},   {1600, 0}, {1, 16384},
                                           {16384, 1}, {2, 2},    {1, 2}};
    const double kind = random.Unit();
    if (kind < 0.55) {
        return random.Pick<Vector2>(kCommon);
    }
    if (kind < 0.80) {
        return random.Pick<Vector2>(kSpecial);
    }
    return {int(random.Int(1, 16384)), int(random.Int(1, 16384))};
}

std::optional<sim::Actor> Camera(Random& random) {
    if (random.Chance(0.04)) {
        return std::nullopt;
    }
    sim::Actor camera;
    camera.rotation = AnyRotation(random);
    camera.fov = FieldOfView(random);
    const double kind = random.Unit();
    if (kind < 0.50) {
        camera.location = {float(random.Uniform(-12000.0, 12000.0)),
                           float(random.Uniform(-14000.0, 14000.0)),
                           float(random.Uniform(-1000.0, 8000.0))};
    } else if (kind < 0.65) {
        // Behind one goal looking up the field, the whole overlay in view.
        const bool south = random.Chance(0.5);
        camera.location = {float(random.Uniform(-2000.0, 2000.0)),
                           float(random.Uniform(8000.0, 16000.0)) * (south ? -1.0f : 1.0f),
                           float(random.Uniform(500.0, 6000.0))};
        camera.rotation = {int(random.Int(-6000, 0)),
                           (south ? 16384 : -16384) + int(random.Int(-3000, 3000)),
                           int(random.Int(-500, 500))};
        camera.fov = float(random.Uniform(70.0, 130.0));
    } else if (kind < 0.85) {
        camera.location = ScatteredVector(random, 6.0);
    } else if (kind < 0.93) {
        camera.location = random.Chance(0.5) ? kTargets[random.Int(0, 7)] : Vector{};
    } else {
        static constexpr float kHostile[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, kMax};
        camera.location = InField(random);
        float* component = random.Chance(0.5) ? &camera.location.X : &camera.location.Z;
        *component = random.Pick<float>(kHostile);
    }
    return camera;
}

std::optional<sim::Actor> Ball(Random& random, const std::optional<sim::Actor>& camera) {
    if (random.Chance(0.04)) {
        return std::nullopt;
    }
    static constexpr float kSpecial[] = {
        kNaN,  kInf,   -kInf, 1e30f,  -1e30f,
        1e18f, -1e18f, 1e12f, -1e12f, kMax,
        -kMax, 0.0f,   -0.0f, 1e-30f, std::numeric_limits<float>::denorm_min()};
    sim::Actor ball;
    const double kind = random.Unit();
    if (kind < 0.55) {
        ball.location = InField(random);
    } else if (kind < 0.65) {
        ball.location = ScatteredVector(random, 6.0);
    } else if (kind < 0.69) {
        ball.location = kTargets[random.Int(0, 7)];
    } else if (kind < 0.72) {
        const Vector target = kTargets[random.Int(0, 7)];
        ball.location =
            target + Vector{float(random.Uniform(-0.01, 0.01)), float(random.Uniform(-0.01, 0.01)),
                            float(random.Uniform(-0.01, 0.01))};
    } else if (kind < 0.80 && camera && std::isfinite(camera->location.X) &&
               std::isfinite(camera->location.Z)) {
        ball.location = camera->location + Vector{float(random.Uniform(-200.0, 200.0)),
                                                  float(random.Uniform(-200.0, 200.0)),
                                                  float(random.Uniform(-200.0, 200.0))};
    } else {
        ball.location = InField(random);
        for (float* component : {&ball.location.X, &ball.location.Y, &ball.location.Z}) {
            if (random.Chance(0.5)) {
                *component = random.Pick<float>(kSpecial);
            }
        }
    }
    return ball;
}

} // namespace

HostileFrame HostileFrame::Draw(Random& random) {
    HostileFrame frame;
    const double mode = random.Unit();
    frame.mode = mode < 0.45   ? sim::GameMode::Freeplay
                 : mode < 0.65 ? sim::GameMode::CustomTraining
                 : mode < 0.85 ? sim::GameMode::Replay
                               : sim::GameMode::None;
    frame.flagOn = random.Chance(0.93);
    frame.serverPresent = random.Chance(0.97);
    frame.canvas = Canvas(random);
    frame.camera = Camera(random);
    frame.ball = Ball(random, frame.camera);
    return frame;
}

void HostileFrame::ApplyTo(sim::Host& host) const {
    host.mode = mode;
    host.serverPresent = serverPresent;
    host.ball = ball;
    host.camera = camera;
    host.canvasSize = canvas;
    if (sim::Variable* variable = host.console.Find("qm_enabled");
        variable != nullptr && variable->BoolValue() != flagOn) {
        host.console.Set(*variable, flagOn ? "1" : "0");
    }
}

bool HostileFrame::OverlayApplies() const {
    return flagOn && mode != sim::GameMode::None && serverPresent && ball && camera;
}

std::string HostileFrame::Describe() const {
    std::string text = std::string("mode ") + sim::GameModeName(mode) + ", qm_enabled " +
                       (flagOn ? "1" : "0") + (serverPresent ? "" : ", no server") + ", canvas " +
                       Str(canvas);
    text += ball ? ", ball " + Str(ball->location) : ", no ball";
    if (camera) {
        text += ", camera " + Str(camera->location) + " rotation " + Str(camera->rotation) +
                " fov " + Num(camera->fov);
    } else {
        text += ", no camera";
    }
    return text;
}

} // namespace validate
