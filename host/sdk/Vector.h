#pragma once

// Value types of the host SDK: plain records, copied freely, no invariants.

// A point or direction in world units. X and Y span the ground, Z is height.
struct Vector {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;

    constexpr Vector() = default;
    constexpr Vector(float x, float y, float z) : X(x), Y(y), Z(z) {}

    // Component-wise arithmetic, each component one single-precision operation.
    constexpr Vector operator+(Vector o) const { return {X + o.X, Y + o.Y, Z + o.Z}; }
    constexpr Vector operator-(Vector o) const { return {X - o.X, Y - o.Y, Z - o.Z}; }
    constexpr Vector operator-() const { return {-X, -Y, -Z}; }
    constexpr Vector operator*(float s) const { return {X * s, Y * s, Z * s}; }
    constexpr Vector operator/(float s) const { return {X / s, Y / s, Z / s}; }

    friend constexpr bool operator==(Vector, Vector) = default;
};

// A size in whole pixels (the canvas size).
struct Vector2 {
    int X = 0;
    int Y = 0;

    friend constexpr bool operator==(Vector2, Vector2) = default;
};

// A position on the canvas in pixels, origin top left, Y down.
struct Vector2F {
    float X = 0.0f;
    float Y = 0.0f;

    friend constexpr bool operator==(Vector2F, Vector2F) = default;
};
