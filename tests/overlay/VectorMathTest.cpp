#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "overlay/VectorMath.h"

namespace {

TEST(VectorMathTest, CrossIsRightHanded) {
    EXPECT_EQ(Cross({1, 0, 0}, {0, 1, 0}), (Vector{0, 0, 1}));
    EXPECT_EQ(Cross({0, 1, 0}, {0, 0, 1}), (Vector{1, 0, 0}));
    EXPECT_EQ(Cross({0, 0, 1}, {1, 0, 0}), (Vector{0, 1, 0}));
    EXPECT_EQ(Cross({0, 1, 0}, {1, 0, 0}), (Vector{0, 0, -1}));
}

TEST(VectorMathTest, DotAndLengthOfSmallIntegers) {
    EXPECT_EQ(Dot({1, 2, 3}, {4, -5, 6}), 12.0f);
    EXPECT_EQ(Length({2, 3, 6}), 7.0f);
}

TEST(VectorMathTest, NormalizeOfThreeZeroFour) {
    const Vector n = Normalize({3, 0, 4});
    EXPECT_FLOAT_EQ(n.X, 0.6f);
    EXPECT_EQ(n.Y, 0.0f);
    EXPECT_FLOAT_EQ(n.Z, 0.8f);
}

TEST(VectorMathTest, NormalizeOfZeroIsNotANumber) {
    const Vector n = Normalize({0, 0, 0});
    EXPECT_TRUE(std::isnan(n.X) && std::isnan(n.Y) && std::isnan(n.Z));
}

// Division by the length and multiplication by its reciprocal differ in the
// last bit for many inputs; the correctly rounded quotient is the one wanted.
TEST(VectorMathTest, NormalizeDividesEachComponentByTheLength) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-1000.0f, 1000.0f);
    int reciprocalWouldDiffer = 0;
    for (int i = 0; i < 2000; ++i) {
        const Vector v{coordinate(random), coordinate(random), coordinate(random)};
        const float length = Length(v);
        const Vector n = Normalize(v);
        const auto quotient = [length](float c) {
            return static_cast<float>(static_cast<double>(c) / length);
        };
        ASSERT_EQ(n.X, quotient(v.X)) << "at " << v.X << " " << v.Y << " " << v.Z;
        ASSERT_EQ(n.Y, quotient(v.Y)) << "at " << v.X << " " << v.Y << " " << v.Z;
        ASSERT_EQ(n.Z, quotient(v.Z)) << "at " << v.X << " " << v.Y << " " << v.Z;
        const float reciprocal = 1.0f / length;
        reciprocalWouldDiffer +=
            (v.X * reciprocal != n.X) || (v.Y * reciprocal != n.Y) || (v.Z * reciprocal != n.Z);
    }
    // Otherwise the samples could not tell the two apart.
    EXPECT_GT(reciprocalWouldDiffer, 100);
}

} // namespace
