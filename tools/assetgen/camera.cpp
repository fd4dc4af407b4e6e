// The D3DX left-handed view and projection, re-done in double precision.
#include "camera.h"

#include <cmath>

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}

double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalize(Vec3 v) {
    const double len = std::sqrt(Dot(v, v));
    return len > 0.0 ? v * (1.0 / len) : v;
}

Mat4 LookAtLH(Vec3 eye, Vec3 at, Vec3 up) {
    const Vec3 z = Normalize(at - eye);
    const Vec3 x = Normalize(Cross(up, z));
    const Vec3 y = Cross(z, x);
    return Mat4{{{x.x, y.x, z.x, 0.0},
                 {x.y, y.y, z.y, 0.0},
                 {x.z, y.z, z.z, 0.0},
                 {-Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1.0}}};
}

Mat4 PerspectiveFovLH(double fovY, double aspect, double zNear, double zFar) {
    const double yScale = 1.0 / std::tan(fovY / 2.0);
    const double xScale = yScale / aspect;
    const double q = zFar / (zFar - zNear);
    return Mat4{
        {{xScale, 0.0, 0.0, 0.0}, {0.0, yScale, 0.0, 0.0}, {0.0, 0.0, q, 1.0}, {0.0, 0.0, -zNear * q, 0.0}}};
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                r.m[i][j] += a.m[i][k] * b.m[k][j];
            }
        }
    }
    return r;
}

GameCamera::GameCamera() {
    eye_ = CameraEye();
    const Vec3 target{0.0, 0.0, 0.0};
    const Vec3 up{0.0, 1.0, 0.0};
    look_ = Normalize(target - eye_);
    right_ = Normalize(Cross(up, look_));
    up_ = Cross(look_, right_);
    const double aspect = kScreenWidth / kScreenHeight;
    const Mat4 proj = PerspectiveFovLH(layout::kFieldOfViewY, aspect, layout::kNearPlane, layout::kFarPlane);
    viewProjection_ = Multiply(LookAtLH(eye_, target, up), proj);
    yScale_ = proj.m[1][1];
    xScale_ = proj.m[0][0];
}

ScreenPoint GameCamera::Project(Vec3 p) const {
    const Mat4& m = viewProjection_;
    const double cx = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const double cy = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const double cw = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return ScreenPoint{(cx / cw + 1.0) * kScreenWidth / 2.0, (1.0 - cy / cw) * kScreenHeight / 2.0, cw};
}

Ray GameCamera::RayThrough(double screenX, double screenY) const {
    const double ndcX = screenX / (kScreenWidth / 2.0) - 1.0;
    const double ndcY = 1.0 - screenY / (kScreenHeight / 2.0);
    const Vec3 dir = right_ * (ndcX / xScale_) + up_ * (ndcY / yScale_) + look_;
    return Ray{eye_, Normalize(dir)};
}
