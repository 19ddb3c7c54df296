#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "overlay/FrustumPlane.h"
#include "overlay/LineSegment.h"
#include "overlay/VectorMath.h"

namespace {

TEST(FrustumPlaneTest, NormalFacesTheClockwiseSide) {
    const FrustumPlane plane = PlaneFromPoints({0, 1, 5}, {0, 0, 5}, {1, 0, 5});
    EXPECT_EQ(plane.X, 0.0f);
    EXPECT_EQ(plane.Y, 0.0f);
    EXPECT_EQ(plane.Z, -1.0f);
    EXPECT_EQ(plane.D, 5.0f);
    EXPECT_EQ(SignedDistance(plane, {0, 0, 0}), 5.0f) << "the origin is on the normal's side";
    EXPECT_EQ(SignedDistance(plane, {0, 0, 10}), -5.0f);
    EXPECT_EQ(SignedDistance(plane, {3, -7, 5}), 0.0f) << "a point of the plane";
}

TEST(FrustumPlaneTest, SwappingTwoPointsFlipsTheNormal) {
    const FrustumPlane plane = PlaneFromPoints({1, 0, 5}, {0, 0, 5}, {0, 1, 5});
    EXPECT_EQ(plane.X, 0.0f);
    EXPECT_EQ(plane.Y, 0.0f);
    EXPECT_EQ(plane.Z, 1.0f);
    EXPECT_EQ(plane.D, -5.0f);
    EXPECT_EQ(SignedDistance(plane, {0, 0, 10}), 5.0f);
}

TEST(FrustumPlaneTest, TiltedPlanePassesThroughItsThreePoints) {
    const Vector p0{120.0f, -40.0f, 33.0f}, p1{-15.5f, 80.0f, 2.0f}, p2{64.0f, 10.0f, -90.0f};
    const FrustumPlane plane = PlaneFromPoints(p0, p1, p2);
    EXPECT_NEAR(std::sqrt(plane.X * plane.X + plane.Y * plane.Y + plane.Z * plane.Z), 1.0f, 1e-6f);
    EXPECT_NEAR(SignedDistance(plane, p0), 0.0f, 1e-4f);
    EXPECT_NEAR(SignedDistance(plane, p1), 0.0f, 1e-4f);
    EXPECT_NEAR(SignedDistance(plane, p2), 0.0f, 1e-4f);
}

TEST(FrustumPlaneTest, PointsOnOneLineGiveNotANumber) {
    const FrustumPlane plane = PlaneFromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    EXPECT_TRUE(std::isnan(plane.X) && std::isnan(plane.Y) && std::isnan(plane.Z) &&
                std::isnan(plane.D));
    const FrustumPlane repeated = PlaneFromPoints({4, 5, 6}, {4, 5, 6}, {1, 0, 0});
    EXPECT_TRUE(std::isnan(repeated.D));
}

TEST(FrustumPlaneTest, CrossesLineHasNoTolerance) {
    const FrustumPlane floor{0, 0, 1, 0};
    EXPECT_FALSE(floor.CrossesLine({{0, 0, 5}, {10, 3, 5}})) << "parallel to the plane";
    EXPECT_TRUE(floor.CrossesLine({{0, 0, 5}, {1e6f, 0, 5.001f}})) << "nearly parallel";
    EXPECT_TRUE(floor.CrossesLine({{0, 0, 5}, {0, 0, -5}}));
}

TEST(FrustumPlaneTest, LineIntersectionMayLieBeyondEitherEnd) {
    const FrustumPlane plane{0, 0, 1, -2}; // z = 2
    const Vector within = plane.LineIntersection({{1, 1, 0}, {1, 1, 4}});
    EXPECT_EQ(within, (Vector{1, 1, 2}));
    const Vector beyondEnd = plane.LineIntersection({{0, 0, -4}, {2, 0, -2}});
    EXPECT_NEAR(beyondEnd.X, 6.0f, 1e-5f);
    EXPECT_EQ(beyondEnd.Y, 0.0f);
    EXPECT_NEAR(beyondEnd.Z, 2.0f, 1e-5f);
    const Vector beforeStart = plane.LineIntersection({{0, 0, 10}, {0, 3, 14}});
    EXPECT_NEAR(beforeStart.Y, -6.0f, 1e-5f);
    EXPECT_NEAR(beforeStart.Z, 2.0f, 1e-5f);
}

// The offset is used as stored, the normal is not renormalised: the result
// solves X·P.X + Y·P.Y + Z·P.Z + D = 0 for whatever length the normal has.
TEST(FrustumPlaneTest, LineIntersectionUsesTheNormalAsStored) {
    const FrustumPlane scaled{0, 0, 2, -4}; // 2z - 4 = 0
    const Vector point = scaled.LineIntersection({{3, 0, 0}, {3, 0, 10}});
    EXPECT_EQ(point, (Vector{3, 0, 2}));
}

// Every field is the unscaled normal's component, or its product with the
// middle point, divided by the normal's length: rounded once, as a division.
TEST(FrustumPlaneTest, FieldsAreDividedByTheNormalsLength) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> coordinate(-20000.0f, 20000.0f);
    int reciprocalWouldDiffer = 0;
    for (int i = 0; i < 2000; ++i) {
        const Vector p0{coordinate(random), coordinate(random), coordinate(random)};
        const Vector p1{coordinate(random), coordinate(random), coordinate(random)};
        const Vector p2{coordinate(random), coordinate(random), coordinate(random)};
        const Vector n = Cross(p0 - p1, p2 - p1);
        const double length = Length(n);
        const auto quotient = [length](float value) {
            return static_cast<float>(static_cast<double>(value) / length);
        };
        const FrustumPlane plane = PlaneFromPoints(p0, p1, p2);
        ASSERT_EQ(plane.X, quotient(n.X)) << "case " << i;
        ASSERT_EQ(plane.Y, quotient(n.Y)) << "case " << i;
        ASSERT_EQ(plane.Z, quotient(n.Z)) << "case " << i;
        ASSERT_EQ(plane.D, -quotient(Dot(n, p1))) << "case " << i << ": offset not from P1";
        const float reciprocal = 1.0f / static_cast<float>(length);
        reciprocalWouldDiffer += n.X * reciprocal != plane.X || n.Y * reciprocal != plane.Y ||
                                 n.Z * reciprocal != plane.Z;
    }
    EXPECT_GT(reciprocalWouldDiffer, 100) << "the samples cannot tell the two apart";
}

} // namespace
