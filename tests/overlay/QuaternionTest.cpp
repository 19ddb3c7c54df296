#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "overlay/Quaternion.h"
#include "sim/CameraView.h"

namespace {

constexpr float kRounding = 1e-6f;

void ExpectNear(Vector actual, Vector expected, float tolerance, const char* what) {
    EXPECT_NEAR(actual.X, expected.X, tolerance) << what;
    EXPECT_NEAR(actual.Y, expected.Y, tolerance) << what;
    EXPECT_NEAR(actual.Z, expected.Z, tolerance) << what;
}

// The turn by `angle` radians about a unit axis.
Quaternion AxisTurn(Vector axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    return {axis.X * s, axis.Y * s, axis.Z * s, std::cos(angle * 0.5f)};
}

TEST(QuaternionTest, HamiltonProductOfTheUnitVectors) {
    const Quaternion i{1, 0, 0, 0}, j{0, 1, 0, 0}, k{0, 0, 1, 0};
    EXPECT_EQ(i * j, k);
    EXPECT_EQ(j * k, i);
    EXPECT_EQ(k * i, j);
    EXPECT_EQ(j * i, (Quaternion{0, 0, -1, 0})) << "the product does not commute";
    EXPECT_EQ(i * i, (Quaternion{0, 0, 0, -1}));
    const Quaternion q{0.5f, -1.5f, 2.0f, 3.0f};
    EXPECT_EQ((Quaternion{0, 0, 0, 1}) * q, q);
    EXPECT_EQ(q * (Quaternion{0, 0, 0, 1}), q);
}

TEST(QuaternionTest, HalfAngleFactorIsThreeUlpsAbovePiOver65536) {
    float exact = static_cast<float>(std::numbers::pi / 65536.0);
    for (int i = 0; i < 3; ++i) {
        exact = std::nextafter(exact, 1.0f);
    }
    EXPECT_EQ(RotatorHalfAngleFactor, exact);
    const Quaternion q = RotatorToQuaternion({0, 1000, 0});
    EXPECT_EQ(q.Z, std::sin(1000.0f * exact));
    EXPECT_EQ(q.W, std::cos(1000.0f * exact));
}

TEST(QuaternionTest, ZeroRotatorIsTheIdentity) {
    const Quaternion q = RotatorToQuaternion({0, 0, 0});
    EXPECT_EQ(q.X, 0.0f);
    EXPECT_EQ(q.Y, 0.0f);
    EXPECT_EQ(q.Z, 0.0f);
    EXPECT_EQ(q.W, 1.0f);
    const Vector v{12.5f, -3.25f, 7.0f};
    EXPECT_EQ(RotateVector(q, v), v);
}

TEST(QuaternionTest, FullYawTurnActsAsTheIdentity) {
    const Quaternion q = RotatorToQuaternion({0, 65536, 0});
    EXPECT_NEAR(q.W, -1.0f, kRounding);
    EXPECT_NEAR(q.X, 0.0f, kRounding);
    EXPECT_NEAR(q.Y, 0.0f, kRounding);
    EXPECT_NEAR(q.Z, 0.0f, 1e-5f) << "a full turn is a hair over 360 degrees";
    ExpectNear(RotateVector(q, {1, 0, 0}), {1, 0, 0}, 1e-5f, "x axis");
    ExpectNear(RotateVector(q, {0, 1, 0}), {0, 1, 0}, 1e-5f, "y axis");
    ExpectNear(RotateVector(q, {0, 0, 1}), {0, 0, 1}, 1e-5f, "z axis");
}

TEST(QuaternionTest, PositiveYawTurnsXTowardsY) {
    const Quaternion q = RotatorToQuaternion({0, 16384, 0});
    ExpectNear(RotateVector(q, {1, 0, 0}), {0, 1, 0}, kRounding, "x axis");
    ExpectNear(RotateVector(q, {0, 1, 0}), {-1, 0, 0}, kRounding, "y axis");
    ExpectNear(RotateVector(q, {0, 0, 1}), {0, 0, 1}, kRounding, "z axis");
}

TEST(QuaternionTest, PositivePitchRaisesXTowardsZ) {
    const Quaternion q = RotatorToQuaternion({16384, 0, 0});
    ExpectNear(RotateVector(q, {1, 0, 0}), {0, 0, 1}, kRounding, "x axis");
    ExpectNear(RotateVector(q, {0, 1, 0}), {0, 1, 0}, kRounding, "y axis");
    ExpectNear(RotateVector(q, {0, 0, 1}), {-1, 0, 0}, kRounding, "z axis");
}

TEST(QuaternionTest, PositiveRollTurnsYTowardsMinusZ) {
    const Quaternion q = RotatorToQuaternion({0, 0, 16384});
    ExpectNear(RotateVector(q, {1, 0, 0}), {1, 0, 0}, kRounding, "x axis");
    ExpectNear(RotateVector(q, {0, 1, 0}), {0, 0, -1}, kRounding, "y axis");
    ExpectNear(RotateVector(q, {0, 0, 1}), {0, 1, 0}, kRounding, "z axis");
}

// Pitch before yaw: +X is raised to +Z first, which the yaw then leaves alone;
// the other order would give +Y.
TEST(QuaternionTest, RollThenPitchThenYaw) {
    const Quaternion q = RotatorToQuaternion({16384, 16384, 0});
    ExpectNear(RotateVector(q, {1, 0, 0}), {0, 0, 1}, kRounding, "x axis");
    ExpectNear(RotateVector(q, {0, 1, 0}), {-1, 0, 0}, kRounding, "y axis");
    const Quaternion r = RotatorToQuaternion({0, 16384, 16384});
    ExpectNear(RotateVector(r, {0, 1, 0}), {0, 0, -1}, kRounding, "roll, then yaw about Z");
}

TEST(QuaternionTest, RotatorIsTheProductOfItsAxisTurns) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> angle(-70000, 70000);
    const float unit = 2.0f * RotatorHalfAngleFactor;
    for (int i = 0; i < 500; ++i) {
        const Rotator r{angle(random), angle(random), angle(random)};
        const Quaternion expected = AxisTurn({0, 0, 1}, unit * static_cast<float>(r.Yaw)) *
                                    AxisTurn({0, 1, 0}, -unit * static_cast<float>(r.Pitch)) *
                                    AxisTurn({1, 0, 0}, -unit * static_cast<float>(r.Roll));
        const Quaternion q = RotatorToQuaternion(r);
        const float tolerance = 1e-5f;
        ASSERT_NEAR(q.X, expected.X, tolerance) << r.Pitch << " " << r.Yaw << " " << r.Roll;
        ASSERT_NEAR(q.Y, expected.Y, tolerance) << r.Pitch << " " << r.Yaw << " " << r.Roll;
        ASSERT_NEAR(q.Z, expected.Z, tolerance) << r.Pitch << " " << r.Yaw << " " << r.Roll;
        ASSERT_NEAR(q.W, expected.W, tolerance) << r.Pitch << " " << r.Yaw << " " << r.Roll;
        const float length = std::sqrt(q.X * q.X + q.Y * q.Y + q.Z * q.Z + q.W * q.W);
        ASSERT_NEAR(length, 1.0f, kRounding) << "not a unit quaternion";
    }
}

// The host's renderer builds its camera axes independently, in double
// precision; the turned unit axes must agree with them.
TEST(QuaternionTest, TurnedAxesMatchTheHostCamera) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int> angle(-32768, 32767);
    for (int i = 0; i < 500; ++i) {
        const Rotator r{angle(random), angle(random), angle(random)};
        const sim::CameraView view({}, r, 90.0f, {1600, 900});
        const Quaternion q = RotatorToQuaternion(r);
        const auto host = [](const double* axis) {
            return Vector{static_cast<float>(axis[0]), static_cast<float>(axis[1]),
                          static_cast<float>(axis[2])};
        };
        ExpectNear(RotateVector(q, {1, 0, 0}), host(view.Forward()), 1e-5f, "forward");
        ExpectNear(RotateVector(q, {0, 1, 0}), host(view.Right()), 1e-5f, "right");
        ExpectNear(RotateVector(q, {0, 0, 1}), host(view.Up()), 1e-5f, "up");
        if (HasFailure()) {
            FAIL() << "rotator " << r.Pitch << " " << r.Yaw << " " << r.Roll;
        }
    }
}

} // namespace
