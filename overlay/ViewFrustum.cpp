#include "overlay/ViewFrustum.h"

#include <cmath>

#include "overlay/VectorMath.h"

ViewFrustum ViewFrustum::Build(CanvasWrapper canvas, Quaternion rotation, Vector location,
                               float fovDegrees, float nearDistance, float farDistance) {
    const Vector forward = Normalize(RotateVector(rotation, {1.0f, 0.0f, 0.0f}));
    const Vector side = Normalize(RotateVector(rotation, {0.0f, 1.0f, 0.0f}));
    const Vector up = Normalize(RotateVector(rotation, {0.0f, 0.0f, 1.0f}));

    // The size is read twice, width from the first answer and height from the
    // second, as the host sees it.
    const float width = static_cast<float>(canvas.GetSize().X);
    const float height = static_cast<float>(canvas.GetSize().Y);
    const float aspect = width / height;

    // Width of the view per unit of distance. The height follows from the
    // aspect ratio, not from a vertical angle.
    const float widthFactor = 2.0f * std::tan(fovDegrees * 0.5f * 0.017453292f);
    const float farWidth = widthFactor * farDistance;
    const float farHeight = farWidth / aspect;
    const float nearWidth = widthFactor * nearDistance;
    const float nearHeight = nearWidth / aspect;

    const Vector farCentre = location + forward * farDistance;
    const Vector nearCentre = location + forward * nearDistance;
    const Vector farUp = up * farHeight * 0.5f;
    const Vector farSide = side * farWidth * 0.5f;
    const Vector nearUp = up * nearHeight * 0.5f;
    const Vector nearSide = side * nearWidth * 0.5f;

    ViewFrustum frustum{
        {
            farCentre + farUp - farSide,
            farCentre + farUp + farSide,
            farCentre - farUp + farSide,
            farCentre - farUp - farSide,
            nearCentre + nearUp - nearSide,
            nearCentre + nearUp + nearSide,
            nearCentre - nearUp + nearSide,
            nearCentre - nearUp - nearSide,
        },
        {},
        {},
    };
    // Each triple is listed so that the normal faces into the volume.
    const Vector* c = frustum.Corners;
    frustum.Planes[0] = PlaneFromPoints(c[0], c[1], c[4]);
    frustum.Planes[1] = PlaneFromPoints(c[2], c[3], c[6]);
    frustum.Planes[2] = PlaneFromPoints(c[0], c[4], c[3]);
    frustum.Planes[3] = PlaneFromPoints(c[5], c[1], c[6]);
    frustum.Planes[4] = PlaneFromPoints(c[4], c[5], c[7]);
    frustum.Planes[5] = PlaneFromPoints(c[1], c[0], c[2]);
    for (int i = 0; i < 6; ++i) {
        frustum.UnitNormals[i] = Normalize(frustum.Planes[i].Normal());
    }
    return frustum;
}
