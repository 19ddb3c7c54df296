// The canvas's ProjectF keeps the camera's view between calls; whatever changes
// between two calls, the answer must be the one a freshly made view gives.

#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

#include "sdk/CanvasWrapper.h"
#include "sim/CameraView.h"
#include "sim/Host.h"

namespace {

const Vector kPoints[] = {{1000.0f, 0.0f, 0.0f}, {3000.0f, -700.0f, 250.0f}, {40.0f, 3.0f, -1.0f}};

class CanvasProjectionTest : public ::testing::Test {
protected:
    CanvasProjectionTest() {
        host.camera = sim::Actor{{0.0f, 0.0f, 0.0f}, {}, 90.0f};
        host.canvasSize = {1600, 900};
    }

    // Projects every point through the canvas and compares, bit for bit, with a
    // view made just now from the host's camera and canvas.
    void ExpectFreshView(const char* after) {
        const sim::Actor& camera = *host.camera;
        const sim::CameraView fresh(camera.location, camera.rotation, camera.fov, host.canvasSize);
        const CanvasWrapper canvas(&host);
        for (const Vector& point : kPoints) {
            const Vector2F projected = canvas.ProjectF(point);
            const Vector2F expected = fresh.Project(point);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(projected.X),
                      std::bit_cast<std::uint32_t>(expected.X))
                << after << ": x of (" << point.X << ", " << point.Y << ", " << point.Z << ") is "
                << projected.X << ", a fresh view gives " << expected.X;
            EXPECT_EQ(std::bit_cast<std::uint32_t>(projected.Y),
                      std::bit_cast<std::uint32_t>(expected.Y))
                << after << ": y of (" << point.X << ", " << point.Y << ", " << point.Z << ") is "
                << projected.Y << ", a fresh view gives " << expected.Y;
        }
    }

    Vector2F First() { return CanvasWrapper(&host).ProjectF(kPoints[1]); }

    sim::Host host;
};

} // namespace

TEST_F(CanvasProjectionTest, FollowsEveryChangeOfTheCameraAndCanvas) {
    ExpectFreshView("first call");
    const Vector2F before = First();

    host.camera->location = {10.0f, 20.0f, 30.0f};
    ExpectFreshView("camera moved");
    host.camera->rotation.Pitch = -1000;
    ExpectFreshView("camera pitched");
    host.camera->rotation.Yaw = 700;
    ExpectFreshView("camera turned");
    host.camera->rotation.Roll = 300;
    ExpectFreshView("camera rolled");
    host.camera->fov = 75.0f;
    ExpectFreshView("field of view changed");
    host.canvasSize = {1280, 1024};
    ExpectFreshView("canvas resized");

    // Guards the checks above: had the view been kept regardless, every
    // answer would still be the first one.
    EXPECT_NE(First().X, before.X) << "the changes above should move the projection";
}

TEST_F(CanvasProjectionTest, ACameraPutBackGivesTheOldAnswerAgain) {
    const Vector2F before = First();
    host.camera->location.X = 500.0f;
    EXPECT_NE(First().X, before.X);
    host.camera->location.X = 0.0f;
    EXPECT_EQ(First(), before) << "back at the origin the first answer should return";
}

TEST_F(CanvasProjectionTest, NoCameraProjectsToTheOrigin) {
    First();
    host.camera.reset();
    EXPECT_EQ(First(), (Vector2F{0.0f, 0.0f}));
}
