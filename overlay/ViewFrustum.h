#pragma once

#include <cmath>

#include "overlay/FrustumPlane.h"
#include "overlay/Quaternion.h"
#include "overlay/VectorMath.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/Vector.h"

// The camera's view volume for one frame: a truncated pyramid from the near to
// the far distance along the viewing direction, as wide as the horizontal field
// of view and as high as the canvas's aspect ratio makes it.
struct ViewFrustum {
    // Far rectangle 0-3, near rectangle 4-7, each top left, top right, bottom
    // right, bottom left as seen from the camera.
    Vector Corners[8];
    // Top, bottom, left, right, near, far; every normal points into the volume.
    FrustumPlane Planes[6];
    // Each plane's normal brought to unit length, as the inside test and the
    // clipping use it. The stored normals are unit only up to rounding, and
    // normalising one gives the same bits every time, so Build does it once per
    // frustum instead of every test once per plane. Written by Build with Planes.
    Vector UnitNormals[6];

    // The canvas is asked only for its size. The field of view is the full
    // horizontal angle in degrees; the distances are along the viewing direction.
    static ViewFrustum Build(CanvasWrapper canvas, Quaternion rotation, Vector location,
                             float fovDegrees, float nearDistance, float farDistance);

    // Whether the frustum bounds the camera's view well enough to draw
    // through. The field of view must be an angle a camera has, above 0 and
    // below 360 degrees; other values give no view, or one unrelated to the
    // game's. And single precision must have kept the near plane where it
    // belongs: facing the far plane's opposite way and about `nearDistance` in
    // front of the camera at `location`. A frustum too thin for single
    // precision (a field of view within a hair of 0, 180 or 360 degrees, a
    // canvas thousands of times wider than high, a camera hundreds of millions
    // of units out) fails this: its planes no longer bound the view, and
    // clipping against them can hand the canvas points level with the camera,
    // which have no image.
    bool BoundsTheView(Vector location, float fovDegrees, float nearDistance) const {
        if (!(fovDegrees > 0.0f && fovDegrees < 360.0f)) {
            return false;
        }
        const bool facesAway = Dot(UnitNormals[4], UnitNormals[5]) < -0.9999f;
        // Measured as IsInside measures: a plane built from corners a few
        // denormals apart can come out with a normal far from unit length.
        const float offset = Dot(UnitNormals[4], location) + Planes[4].D + nearDistance;
        return facesAway && std::fabs(offset) < 0.5f * nearDistance && SidesAreSquare();
    }

    // Whether the side planes still stand square to each other: the left and
    // right normals across the camera's up direction, the top and bottom ones
    // across its right direction (each pair's difference points along that
    // direction). Near corners that rounding has made coincide (a field of
    // view of a billionth of a degree) give a side plane that has turned into
    // another one, and then points far off to the side count as inside.
    bool SidesAreSquare() const {
        const Vector up = Normalize(UnitNormals[1] - UnitNormals[0]);
        const Vector right = Normalize(UnitNormals[2] - UnitNormals[3]);
        constexpr float kSquare = 0.01f;
        // Written as "less than" so that a not-a-number product rejects.
        return std::fabs(Dot(UnitNormals[2], up)) < kSquare &&
               std::fabs(Dot(UnitNormals[3], up)) < kSquare &&
               std::fabs(Dot(UnitNormals[0], right)) < kSquare &&
               std::fabs(Dot(UnitNormals[1], right)) < kSquare;
    }

    // True only when the point's distance from every plane is strictly greater
    // than -margin; a not-a-number distance counts as outside. Inline: the
    // clipping asks it for both ends and every candidate crossing.
    bool IsInside(Vector point, float margin) const {
        for (int i = 0; i < 6; ++i) {
            const float s = Dot(UnitNormals[i], point) + Planes[i].D + margin;
            // Written as "not greater" so that a not-a-number distance rejects.
            if (!(s > 0.0f)) {
                return false;
            }
        }
        return true;
    }
};
