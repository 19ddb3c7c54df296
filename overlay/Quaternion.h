#pragma once

#include "sdk/Rotator.h"
#include "sdk/Vector.h"

// An orientation as a quaternion: vector part X, Y, Z and scalar part W.
struct Quaternion {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float W = 1.0f;

    // Hamilton product, this ⊗ other: applied to a vector, `other` turns first.
    Quaternion operator*(Quaternion b) const {
        return {
            W * b.X + X * b.W + Y * b.Z - Z * b.Y,
            W * b.Y - X * b.Z + Y * b.W + Z * b.X,
            W * b.Z + X * b.Y - Y * b.X + Z * b.W,
            W * b.W - X * b.X - Y * b.Y - Z * b.Z,
        };
    }
    // Stands in for the inverse of a unit quaternion.
    Quaternion Conjugate() const { return {-X, -Y, -Z, W}; }

    friend constexpr bool operator==(Quaternion, Quaternion) = default;
};

// Half-angle radians per rotator unit: the float nearest 4.7936912e-5, three
// ulps above pi/65536. Kept as it is because what is drawn depends on every bit
// of it; the price is that a full turn comes out a hair over 360 degrees.
inline constexpr float RotatorHalfAngleFactor = 4.7936912e-5f;

// Roll about X first, then pitch about Y, then yaw about Z, so that a positive
// yaw turns +X towards +Y, a positive pitch raises +X towards +Z and a positive
// roll turns +Y towards -Z. The result has unit length up to rounding.
Quaternion RotatorToQuaternion(Rotator rotator);

// v turned by q, computed as q ⊗ v ⊗ q*. A pure rotation only for unit q; the
// result is not normalised.
//
// The products are defined here, inline: called across a function boundary,
// four floats passed and returned by value are packed into and out of vector
// registers through memory, which stalls for longer than the arithmetic takes.
inline Vector RotateVector(Quaternion q, Vector v) {
    // The full product with the pure quaternion, zero terms included: they
    // decide the sign of zero components.
    const Quaternion t = q * Quaternion{v.X, v.Y, v.Z, 0.0f};
    const Quaternion c = q.Conjugate();
    // Only the vector part of t ⊗ q*; its scalar part is never needed.
    return {
        t.W * c.X + t.X * c.W + t.Y * c.Z - t.Z * c.Y,
        t.W * c.Y - t.X * c.Z + t.Y * c.W + t.Z * c.X,
        t.W * c.Z + t.X * c.Y - t.Y * c.X + t.Z * c.W,
    };
}
