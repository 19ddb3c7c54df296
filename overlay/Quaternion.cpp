#include "Quaternion.h"

#include <cmath>

Quaternion Quaternion::operator*(Quaternion b) const {
    return {
        W * b.X + X * b.W + Y * b.Z - Z * b.Y,
        W * b.Y - X * b.Z + Y * b.W + Z * b.X,
        W * b.Z + X * b.Y - Y * b.X + Z * b.W,
        W * b.W - X * b.X - Y * b.Y - Z * b.Z,
    };
}

Quaternion RotatorToQuaternion(Rotator rotator) {
    // No range reduction on the integers: the single-precision sine and cosine
    // take any argument, and reducing first would change the last bits.
    const float halfPitch = static_cast<float>(rotator.Pitch) * RotatorHalfAngleFactor;
    const float halfYaw = static_cast<float>(rotator.Yaw) * RotatorHalfAngleFactor;
    const float halfRoll = static_cast<float>(rotator.Roll) * RotatorHalfAngleFactor;
    const float sp = std::sin(halfPitch);
    const float cp = std::cos(halfPitch);
    const float sy = std::sin(halfYaw);
    const float cy = std::cos(halfYaw);
    const float sr = std::sin(halfRoll);
    const float cr = std::cos(halfRoll);

    // Qz(yaw) ⊗ Qy(-pitch) ⊗ Qx(-roll), expanded.
    return {
        cr * sp * sy - sr * cp * cy,
        -cr * sp * cy - sr * cp * sy,
        cr * cp * sy - sr * sp * cy,
        cr * cp * cy + sr * sp * sy,
    };
}

Vector RotateVector(Quaternion q, Vector v) {
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
