#pragma once

#include <array>
#include <string>

#include "overlay/LineSegment.h"
#include "overlay/ViewFrustum.h"
#include "sdk/Rotator.h"
#include "sdk/Vector.h"
#include "sim/Host.h"

// How one overlay line meets the view: both ends in view, one end out (cut once),
// both ends out but passing through the view (cut twice), or not drawn at all.
enum class SegmentKind { Inside, OneEndOut, BothEndsOut, Off };

const char* SegmentKindName(SegmentKind kind);

// How many of the frame's eight lines fall into each kind.
struct SegmentMix {
    int Inside = 0;
    int OneEndOut = 0;
    int BothEndsOut = 0;
    int Off = 0;

    int Drawn() const { return Inside + OneEndOut + BothEndsOut; }
    std::string Text() const;

    friend constexpr bool operator==(SegmentMix, SegmentMix) = default;
};

// A freeplay moment the benchmarks replay: the camera, the ball, and the mix of
// lines this pose is known to give. Every line ends at the ball, so one frame
// cannot hold both a line wholly in view (the ball is in view) and a line that is
// not drawn (the ball is out of view): the two poses between them cover all four kinds.
struct BenchView {
    // For benchmark names.
    const char* Key;
    // For people.
    const char* Name;
    Vector CameraLocation;
    Rotator CameraRotation;
    float Fov;
    Vector Ball;
    SegmentMix Expected;
};

// Ball camera: the camera 2600 behind and 900 above the ball, looking at it up
// the field. The red lines lie wholly in view, the green ones start behind the
// camera and are cut by the near plane.
inline constexpr BenchView kBallInView{
    "BallInView",           "ball in view", {1200.0f, -4100.0f, 993.0f},
    {-2000, 16384, 0},      90.0f,          {1200.0f, -1500.0f, 93.0f},
    SegmentMix{4, 4, 0, 0},
};

// Car camera looking down the field towards -Y, the ball off to its right: two
// lines run from a target in view out of the side, two cross the view from side
// to side, four miss it.
inline constexpr BenchView kBallOutOfView{
    "BallOutOfView", "ball out of view",       {1500.0f, 200.0f, 500.0f}, {-1000, 53248, 0},
    90.0f,           {2900.0f, 900.0f, 93.0f}, SegmentMix{0, 2, 2, 4},
};

// The render pass's frustum distances, kept here on purpose like its targets
// (BenchViews.cpp): the set-up checks the module against them.
inline constexpr float kNearDistance = 50.0f;
inline constexpr float kFarDistance = 20000.0f;

// "Frame/BallInView" and the like: a benchmark's name, which the summary finds
// its results by.
std::string BenchName(const char* what, const BenchView& view);

// Puts the game into freeplay with the view's camera and ball on a 1600 x 900 canvas.
void StageView(sim::Host& host, const BenchView& view);

// The frame's frustum, built as the render pass builds it from the host's camera.
ViewFrustum FrustumOf(sim::Host& host);

// The render pass's eight lines for a ball position, in drawing order.
std::array<LineSegment, 8> OverlaySegments(Vector ball);

// Which kind each line is, found by drawing it with the overlay's own clipping on
// the host's canvas (which is left empty afterwards). The reference clipper must
// agree on which lines are drawn at all; where it does not, `disagreement` says
// which line and the kinds come back empty.
std::array<SegmentKind, 8> ClassifySegments(sim::Host& host, const ViewFrustum& frustum,
                                            const std::array<LineSegment, 8>& segments,
                                            std::string& disagreement);

SegmentMix MixOf(const std::array<SegmentKind, 8>& kinds);

// Empty when the staged view still gives its expected mix, else what it gives.
std::string CheckViewMix(sim::Host& host, const BenchView& view);
