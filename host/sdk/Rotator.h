#pragma once

// An orientation in host angle units, 65536 to a full turn. Yaw turns about the
// world Z axis (+X towards +Y), pitch about Y (+X towards +Z), roll about X
// (+Y towards -Z); applied to a vector as roll, then pitch, then yaw.
struct Rotator {
    int Pitch = 0;
    int Yaw = 0;
    int Roll = 0;

    friend constexpr bool operator==(Rotator, Rotator) = default;
};
