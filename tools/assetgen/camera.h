// The play screen's fixed camera and the board layout of the rules: where every peg stands
// and where that point lands on the 1024 x 768 screen.
#pragma once

#include "game/layout.h"
#include "services/screen_layout.h"

struct Vec3 {
    double x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
double Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
Vec3 Normalize(Vec3 v);

// Row-vector 4x4 matrix as the D3DX functions build them (v' = v * M).
struct Mat4 {
    double m[4][4];
};

Mat4 LookAtLH(Vec3 eye, Vec3 at, Vec3 up);
Mat4 PerspectiveFovLH(double fovY, double aspect, double zNear, double zFar);
Mat4 Multiply(const Mat4& a, const Mat4& b);

struct ScreenPoint {
    double x, y;  // screen pixels
    double depth; // distance along the view axis
};

struct Ray {
    Vec3 origin, direction;
};

// The game camera: eye (0, 25, 35) looking at the origin, +y up, with the device's projection
// (vertical field of view pi/4, aspect 4:3) on a 1024 x 768 viewport.
class GameCamera {
public:
    GameCamera();
    ScreenPoint Project(Vec3 world) const;
    // The ray through a screen point, for drawing the board as this camera sees it.
    Ray RayThrough(double screenX, double screenY) const;

    static constexpr double kScreenWidth = layout::kScreenWidth;
    static constexpr double kScreenHeight = layout::kScreenHeight;

private:
    Vec3 eye_, right_, up_, look_;
    Mat4 viewProjection_;
    double xScale_, yScale_;
};

// Board layout of the rules, as the game places its pegs: 19 rows of 5 slots; row 0 (nearest) at z = 0.
using layout::kRows;
using layout::kRowZ;
using layout::kSlots;
using layout::kSlotX;

// Board geometry shared by the mesh and the background picture (world units).
constexpr double kHoleRadius = 0.62;
constexpr double kHoleDepth = 0.6;
constexpr double kBoardHalfWidth = 9.6;
constexpr double kBoardNearZ = 6.5;
constexpr double kBoardFarZ = -34.0;
constexpr double kBoardThickness = 1.0;

inline Vec3 HoleCentre(int row, int slot) {
    return Vec3{kSlotX[slot], 0.0, kRowZ[row]};
}

// Where the game puts its camera.
inline Vec3 CameraEye() {
    return Vec3{layout::kCameraEye[0], layout::kCameraEye[1], layout::kCameraEye[2]};
}
