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
    Quaternion operator*(Quaternion other) const;
    // (-X, -Y, -Z, W); stands in for the inverse of a unit quaternion.
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
Vector RotateVector(Quaternion q, Vector v);
