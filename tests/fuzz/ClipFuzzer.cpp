// libFuzzer target: bytes become a camera pose, a canvas, a field of view and a
// segment; the frustum is built and the segment drawn clipped through the
// stand-in host's canvas. Any breach (see JudgeClippedDraw) aborts with the
// case described, so libFuzzer keeps the input that caused it.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ClipInput.h"
#include "ClipOracle.h"
#include "overlay/Quaternion.h"
#include "overlay/ViewFrustum.h"
#include "sim/Host.h"

namespace {

constexpr float kNear = 50.0f;
constexpr float kFar = 20000.0f;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ClipInput input = ClipInput::Read(data, size);

    sim::Host host;
    host.canvasSize = input.canvas;
    host.camera = sim::Actor{input.cameraLocation, input.cameraRotation, input.fov};
    const ViewFrustum frustum =
        ViewFrustum::Build(CanvasWrapper(&host), RotatorToQuaternion(input.cameraRotation),
                           input.cameraLocation, input.fov, kNear, kFar);
    // The render pass clips only with a frustum that bounds the view; others
    // draw nothing.
    if (!frustum.BoundsTheView(input.cameraLocation, input.fov, kNear)) {
        return 0;
    }
    host.recordProjections = true;
    input.segment.DrawClipped(CanvasWrapper(&host), frustum);

    if (host.LiveHandles() != 0) {
        std::fprintf(stderr, "clip breach: %ld canvas handles outlived the draw\n  %s\n",
                     host.LiveHandles(), input.Describe().c_str());
        std::abort();
    }
    if (const auto breach = JudgeClippedDraw(input, frustum, host)) {
        std::fprintf(stderr, "clip breach: %s\n  %s\n", breach->c_str(), input.Describe().c_str());
        std::abort();
    }
    return 0;
}
