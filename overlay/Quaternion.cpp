#include "overlay/Quaternion.h"

#include <cmath>

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
