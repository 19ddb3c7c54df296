// The frustum's table of unit normals stands in for normalising each plane's
// normal at every use, so it must hold exactly those bits for every plane.

#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "overlay/Quaternion.h"
#include "overlay/VectorMath.h"
#include "overlay/ViewFrustum.h"

namespace {

constexpr const char* kPlaneNames[] = {"top", "bottom", "left", "right", "near", "far"};

struct Pose {
    Vector location;
    Rotator rotation;
    float fov;
    Vector2 canvas;
};

void ExpectSameBits(float actual, float expected, const char* plane, const char* axis) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(actual), std::bit_cast<std::uint32_t>(expected))
        << plane << " plane, " << axis << ": table holds " << actual << ", normalising gives "
        << expected;
}

} // namespace

TEST(ViewFrustumUnitNormalsTest, HoldTheNormalisedPlaneNormalsBitForBit) {
    const Pose poses[] = {
        {{0.0f, 0.0f, 0.0f}, {0, 0, 0}, 90.0f, {1600, 900}},
        {{1200.0f, -4100.0f, 993.0f}, {-2000, 16384, 0}, 90.0f, {1600, 900}},
        {{-3000.0f, 2500.0f, 40.0f}, {1234, -29000, 700}, 110.0f, {1920, 1080}},
        {{17.5f, -0.25f, 1800.0f}, {-16000, 70000, -3000}, 47.5f, {800, 800}},
    };
    for (const Pose& pose : poses) {
        RecordingCanvas recording(pose.canvas, pose.location, pose.rotation, pose.fov);
        const ViewFrustum frustum =
            ViewFrustum::Build(recording.Canvas(), RotatorToQuaternion(pose.rotation),
                               pose.location, pose.fov, 50.0f, 20000.0f);
        for (int i = 0; i < 6; ++i) {
            const Vector expected = Normalize(frustum.Planes[i].Normal());
            ExpectSameBits(frustum.UnitNormals[i].X, expected.X, kPlaneNames[i], "X");
            ExpectSameBits(frustum.UnitNormals[i].Y, expected.Y, kPlaneNames[i], "Y");
            ExpectSameBits(frustum.UnitNormals[i].Z, expected.Z, kPlaneNames[i], "Z");
        }
    }
}
