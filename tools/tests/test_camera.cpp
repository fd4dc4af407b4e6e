// The game camera's projection: where board points land on the 1024 x 768 screen.
#include "camera.h"
#include "check.h"

#include <cmath>

TEST_CASE(CameraLooksAtTheOriginFromAboveAndBehind) {
    const GameCamera camera;
    const ScreenPoint origin = camera.Project(Vec3{0, 0, 0});
    CHECK_NEAR(origin.x, 512.0, 1e-9);
    CHECK_NEAR(origin.y, 384.0, 1e-9);
    CHECK_NEAR(origin.depth, 43.011626, 1e-5); // distance from (0, 25, 35)
    // Left-handed view: +x appears on the left, far rows higher up the screen.
    const ScreenPoint leftSlot = camera.Project(HoleCentre(0, 0));
    const ScreenPoint rightSlot = camera.Project(HoleCentre(0, 4));
    CHECK(leftSlot.x < 512.0 && rightSlot.x > 512.0);
    CHECK_NEAR(leftSlot.x + rightSlot.x, 1024.0, 1e-9);
    CHECK_NEAR(leftSlot.x, 382.678, 0.001);
    CHECK(camera.Project(HoleCentre(18, 2)).y < camera.Project(HoleCentre(0, 2)).y);
}

TEST_CASE(LookAtMatchesTheLeftHandedConvention) {
    const Mat4 view = LookAtLH(Vec3{0, 25, 35}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    // Columns are the right, up and look axes.
    CHECK_NEAR(view.m[0][0], -1.0, 1e-9);
    CHECK_NEAR(view.m[1][1], 0.81373, 1e-5);
    CHECK_NEAR(view.m[2][1], -0.58124, 1e-5);
    CHECK_NEAR(view.m[1][2], -0.58124, 1e-5);
    CHECK_NEAR(view.m[2][2], -0.81373, 1e-5);
    CHECK_NEAR(view.m[3][2], 43.011626, 1e-5);
    const Mat4 proj = PerspectiveFovLH(M_PI / 4, 4.0 / 3.0, 1.0, 10000.0);
    CHECK_NEAR(proj.m[1][1], 2.414214, 1e-6);
    CHECK_NEAR(proj.m[0][0], 1.810660, 1e-6);
    CHECK(proj.m[2][3] == 1.0 && proj.m[3][3] == 0.0);
}

TEST_CASE(RayThroughAProjectedPointPassesThroughIt) {
    const GameCamera camera;
    for (int row = 0; row < kRows; row += 6) {
        for (int slot = 0; slot < kSlots; ++slot) {
            const Vec3 p = HoleCentre(row, slot);
            const ScreenPoint s = camera.Project(p);
            const Ray ray = camera.RayThrough(s.x, s.y);
            // Intersect with the board plane y = 0.
            const double t = -ray.origin.y / ray.direction.y;
            const Vec3 hit = ray.origin + ray.direction * t;
            CHECK_NEAR(hit.x, p.x, 1e-9);
            CHECK_NEAR(hit.z, p.z, 1e-9);
        }
    }
}
