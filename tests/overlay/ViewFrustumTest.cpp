#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "overlay/Quaternion.h"
#include "overlay/VectorMath.h"
#include "overlay/ViewFrustum.h"
#include "sim/CameraView.h"

namespace {

constexpr float kNear = 50.0f;
constexpr float kFar = 20000.0f;
const char* const kPlaneNames[6] = {"top", "bottom", "left", "right", "near", "far"};

ViewFrustum BuildFrustum(Rotator rotation = {}, Vector location = {}, float fov = 90.0f,
                         Vector2 size = {1600, 900}) {
    RecordingCanvas recording(size, location, rotation, fov);
    const ViewFrustum frustum = ViewFrustum::Build(
        recording.Canvas(), RotatorToQuaternion(rotation), location, fov, kNear, kFar);
    EXPECT_EQ(recording.host.LiveHandles(), 0) << "a canvas handle was left alive";
    return frustum;
}

void ExpectPlaneNear(const FrustumPlane& actual, const FrustumPlane& expected, float tolerance,
                     const std::string& what, float offsetTolerance = -1.0f) {
    EXPECT_NEAR(actual.X, expected.X, tolerance) << what;
    EXPECT_NEAR(actual.Y, expected.Y, tolerance) << what;
    EXPECT_NEAR(actual.Z, expected.Z, tolerance) << what;
    EXPECT_NEAR(actual.D, expected.D, offsetTolerance < 0 ? tolerance : offsetTolerance) << what;
}

TEST(ViewFrustumTest, AsksTheCanvasForItsSizeTwiceAndReleasesIt) {
    RecordingCanvas recording;
    recording.host.log.handles = true;
    {
        CanvasWrapper canvas = recording.Canvas();
        recording.host.log.Clear();
        ViewFrustum::Build(canvas, RotatorToQuaternion({}), {}, 90.0f, kNear, kFar);
        EXPECT_EQ(recording.host.LiveHandles(), 1) << "only the caller's handle stays";
    }
    // The copy Build takes is made and destroyed around the two questions.
    const std::vector<std::string> expected = {"+CanvasWrapper", "GetSize", "GetSize",
                                               "-CanvasWrapper", "-CanvasWrapper"};
    EXPECT_EQ(recording.Log(), expected);
    EXPECT_EQ(recording.host.LiveHandles(), 0);
}

TEST(ViewFrustumTest, CornersOfTheWideCanvas) {
    const ViewFrustum frustum = BuildFrustum();
    const Vector expected[8] = {
        {20000, -20000, 11250},  {20000, 20000, 11250}, {20000, 20000, -11250},
        {20000, -20000, -11250}, {50, -50, 28.125f},    {50, 50, 28.125f},
        {50, 50, -28.125f},      {50, -50, -28.125f},
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(frustum.Corners[i], expected[i]) << "corner " << i;
    }
}

TEST(ViewFrustumTest, PlanesOfTheWideCanvas) {
    const ViewFrustum frustum = BuildFrustum();
    const float root337 = std::sqrt(337.0f);
    const float half = std::sqrt(0.5f);
    const FrustumPlane expected[6] = {
        {9 / root337, 0, -16 / root337, 0},
        {9 / root337, 0, 16 / root337, 0},
        {half, half, 0, 0},
        {half, -half, 0, 0},
        {1, 0, 0, -50},
        {-1, 0, 0, 20000},
    };
    for (int i = 0; i < 6; ++i) {
        ExpectPlaneNear(frustum.Planes[i], expected[i], 1e-6f, kPlaneNames[i]);
    }
}

TEST(ViewFrustumTest, ClassifiesPointsOfTheWideCanvas) {
    const ViewFrustum frustum = BuildFrustum();
    const auto distances = [&](Vector point) {
        std::vector<float> result;
        for (const FrustumPlane& plane : frustum.Planes) {
            result.push_back(SignedDistance(plane, point));
        }
        return result;
    };

    EXPECT_TRUE(frustum.IsInside({1000, 0, 0}, 0.0f));
    for (float d : distances({1000, 0, 0})) {
        EXPECT_GT(d, 0.0f);
    }

    EXPECT_FALSE(frustum.IsInside({10, 0, 0}, 0.0f));
    EXPECT_FLOAT_EQ(distances({10, 0, 0})[4], -40.0f) << "on the camera side of the near plane";

    EXPECT_FALSE(frustum.IsInside({-100, 0, 0}, 0.0f));
    const std::vector<float> behind = distances({-100, 0, 0});
    for (int i = 0; i < 5; ++i) {
        EXPECT_LT(behind[i], 0.0f) << kPlaneNames[i] << " plane, point behind the camera";
    }

    EXPECT_FALSE(frustum.IsInside({25000, 0, 0}, 0.0f));
    EXPECT_FLOAT_EQ(distances({25000, 0, 0})[5], -5000.0f) << "beyond the far plane";

    EXPECT_FALSE(frustum.IsInside({1000, 0, 600}, 0.0f));
    EXPECT_NEAR(distances({1000, 0, 600})[0], -32.7f, 0.05f) << "above the top plane";
}

TEST(ViewFrustumTest, InsideNeedsDistanceAboveMinusMargin) {
    const ViewFrustum frustum = BuildFrustum();
    EXPECT_FALSE(frustum.IsInside({50, 0, 0}, 0.0f)) << "on the near plane counts as outside";
    EXPECT_TRUE(frustum.IsInside({50.001f, 0, 0}, 0.0f));
    EXPECT_TRUE(frustum.IsInside({49.5f, 0, 0}, 1.0f)) << "half a unit outside, within margin";
    EXPECT_FALSE(frustum.IsInside({49.0f, 0, 0}, 1.0f)) << "exactly one unit outside";
    EXPECT_FALSE(frustum.IsInside({NAN, 0, 0}, 1.0f));
    EXPECT_FALSE(frustum.IsInside({INFINITY, 0, 0}, 1.0f));
    EXPECT_FALSE(frustum.IsInside({1000, INFINITY, 0}, 1.0f));
}

// The planes hold only up to rounding what the corner table makes them, for
// any pose: the near and far planes face along and against the view, and the
// four sides pass through the camera. The right plane is taken at far corner 1
// along two nearly parallel edges (to near corners 5 and 6), so its normal
// carries a rounding error some hundred times the others': it passes up to half
// a unit from a camera 5000 units out, the others within a hundredth.
TEST(ViewFrustumTest, PlanesFollowTheCameraPose) {
    const float sideReach[4] = {0.02f, 0.02f, 0.02f, 1.0f};
    std::mt19937 random(21);
    std::uniform_int_distribution<int> angle(-32768, 32767);
    std::uniform_real_distribution<float> coordinate(-5000.0f, 5000.0f);
    for (int i = 0; i < 200; ++i) {
        const Rotator rotation{angle(random), angle(random), angle(random)};
        const Vector location{coordinate(random), coordinate(random), coordinate(random)};
        const ViewFrustum frustum = BuildFrustum(rotation, location);
        const sim::CameraView view(location, rotation, 90.0f, {1600, 900});
        const double* f = view.Forward();
        const Vector forward{static_cast<float>(f[0]), static_cast<float>(f[1]),
                             static_cast<float>(f[2])};
        const float along = Dot(forward, location);
        ExpectPlaneNear(frustum.Planes[4], {forward.X, forward.Y, forward.Z, -along - kNear}, 1e-4f,
                        "near plane", 0.1f);
        ExpectPlaneNear(frustum.Planes[5], {-forward.X, -forward.Y, -forward.Z, along + kFar},
                        1e-4f, "far plane", 0.1f);
        for (int p = 0; p < 4; ++p) {
            EXPECT_NEAR(SignedDistance(frustum.Planes[p], location), 0.0f, sideReach[p])
                << kPlaneNames[p] << " plane misses the camera";
            EXPECT_GT(Dot(frustum.Planes[p].Normal(), forward), 0.0f)
                << kPlaneNames[p] << " plane faces away from the view";
        }
        EXPECT_TRUE(frustum.IsInside(location + forward * 1000.0f, 0.0f));
        if (HasFailure()) {
            FAIL() << "rotator " << rotation.Pitch << " " << rotation.Yaw << " " << rotation.Roll;
        }
    }
}

TEST(ViewFrustumTest, QuarterYawTurnsTheVolumeAboutZ) {
    const ViewFrustum frustum = BuildFrustum({0, 16384, 0});
    ExpectPlaneNear(frustum.Planes[4], {0, 1, 0, -50}, 1e-5f, "near plane");
    EXPECT_NEAR(frustum.Corners[0].X, 20000.0f, 0.05f);
    EXPECT_NEAR(frustum.Corners[0].Y, 20000.0f, 0.05f);
    EXPECT_NEAR(frustum.Corners[0].Z, 11250.0f, 0.05f);
}

TEST(ViewFrustumTest, WiderCanvasShrinksOnlyTheHeight) {
    const ViewFrustum wide = BuildFrustum({}, {}, 90.0f, {1600, 900});
    const ViewFrustum wider = BuildFrustum({}, {}, 90.0f, {3200, 900});
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(wider.Corners[i].X, wide.Corners[i].X) << "corner " << i;
        EXPECT_EQ(wider.Corners[i].Y, wide.Corners[i].Y) << "corner " << i;
        EXPECT_FLOAT_EQ(wider.Corners[i].Z, wide.Corners[i].Z * 0.5f) << "corner " << i;
    }
}

TEST(ViewFrustumTest, ZeroHeightCanvasHoldsNothing) {
    const ViewFrustum frustum = BuildFrustum({}, {}, 90.0f, {1600, 0});
    EXPECT_NEAR(frustum.Planes[0].Z, -1.0f, 1e-6f) << "the top plane should face down";
    EXPECT_NEAR(frustum.Planes[1].Z, 1.0f, 1e-6f) << "the bottom plane should face up";
    EXPECT_FALSE(frustum.IsInside({1000, 0, 0}, 0.0f));
    EXPECT_FALSE(frustum.IsInside({1000, 0, 0}, 1.0f));
    const ViewFrustum empty = BuildFrustum({}, {}, 90.0f, {0, 0});
    EXPECT_FALSE(empty.IsInside({1000, 0, 0}, 1.0f));
}

TEST(ViewFrustumTest, ZeroFieldOfViewHoldsNothing) {
    const ViewFrustum frustum = BuildFrustum({}, {}, 0.0f);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(std::isnan(frustum.Planes[i].D)) << kPlaneNames[i];
    }
    EXPECT_FALSE(frustum.IsInside({1000, 0, 0}, 1.0f)) << "not-a-number planes must reject";
}

// Past 180 degrees the width factor turns negative and the end rectangles come
// out turned half a turn about the view: the same volume as 360 minus the angle,
// with top and bottom, left and right swapped.
TEST(ViewFrustumTest, FieldOfViewAbove180ActsAsItsComplement) {
    const ViewFrustum over = BuildFrustum({}, {}, 200.0f);
    const ViewFrustum under = BuildFrustum({}, {}, 160.0f);
    const int swapped[6] = {1, 0, 3, 2, 4, 5};
    for (int i = 0; i < 6; ++i) {
        ExpectPlaneNear(over.Planes[i], under.Planes[swapped[i]], 1e-4f, kPlaneNames[i], 0.2f);
    }
    EXPECT_TRUE(over.IsInside({1000, 3000, 0}, 0.0f)) << "within 80 degrees of the view";
    EXPECT_FALSE(over.IsInside({-1000, 0, 0}, 0.0f)) << "behind the camera";
}

// Only a frustum built from a real field of view, whose near plane stands
// where it belongs, bounds the view well enough to draw through.
TEST(ViewFrustumTest, BoundsTheViewOnlyWhenSound) {
    auto bounds = [](Rotator rotation, Vector camera, float fov, Vector2 canvas = {1600, 900}) {
        return BuildFrustum(rotation, camera, fov, canvas).BoundsTheView(camera, fov, kNear);
    };
    const Vector camera{-1757.0f, 8501.0f, 5106.0f};
    for (float fov : {1.0f, 90.0f, 160.0f, 200.0f}) {
        EXPECT_TRUE(bounds({-5767, -16709, -116}, camera, fov)) << "fov " << fov;
    }
    // Every ordinary view stays bounded, whichever way the camera turns.
    for (int turn = 0; turn < 64; ++turn) {
        const Rotator rotation{turn * 1021 - 32768, turn * 4099, turn * 2053 - 65536};
        for (float fov : {5.0f, 60.0f, 90.0f, 120.0f, 175.0f}) {
            for (Vector2 canvas : {Vector2{1600, 900}, Vector2{3840, 2160}, Vector2{900, 1600}}) {
                EXPECT_TRUE(bounds(rotation, camera, fov, canvas))
                    << "fov " << fov << " canvas " << canvas.X << "x" << canvas.Y << " turn "
                    << turn;
            }
        }
    }
    for (float fov : {0.0f, -90.0f, 450.0f, -3.0948501e+26f, NAN}) {
        EXPECT_FALSE(bounds({-5767, -16709, -116}, camera, fov)) << "no camera has fov " << fov;
    }
    EXPECT_FALSE(bounds({}, camera, 90.0f, {1600, 0})) << "a canvas without height";
    const Vector onTarget{800.0f, -5000.0f, 0.0f};
    EXPECT_FALSE(bounds({-50343, -1, 15074}, onTarget, 0.001f, {3840, 2160}))
        << "a thousandth of a degree: the near plane is lost in rounding";
    // Near corners a few denormals apart: the stored normal is far from unit
    // length, so its offset puts the unit-normal plane behind the camera.
    const Vector axis{-8192.00098f, 1.46936794e-38f, 2.58215586e-38f};
    EXPECT_FALSE(bounds({0, 0, 12255232}, axis, 8.14907253e-10f, {11776, 1}))
        << "a near plane measured with its stored normal would pass";
    // A billionth of a degree with the near plane intact: the right plane
    // has turned into the top one, so points far to the side count as inside.
    EXPECT_FALSE(bounds({524288, 0, -2147483647 - 1}, {90.0f, 7.75969765e-37f, 0.0f},
                        6.98491931e-10f, {1602, 900}))
        << "side planes no longer square to each other";
}

} // namespace
