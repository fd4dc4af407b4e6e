// Angles and curves for scene code: radians to degrees, quaternion to angles, differences of angles, a
// table from angle to heading, and points on a segment and on a cubic Bezier curve.
#include "scene/math.h"

#include <cmath>

namespace {

// One step below the float nearest to 180 / pi (bit pattern 0x42652EE0); every conversion here uses it.
constexpr float kDegreesPerRadian = 57.2957763671875f;
constexpr double kSingularLimit = 0.999999;
constexpr double kHalfPi = 1.5707963705062866; // pi / 2 in single precision

struct HeadingRow {
    float low;  // included
    float high; // excluded
    float heading;
};

// Tested in order; a later row wins where ranges overlap (only 5.0 to 6.0 overlaps the start range).
constexpr HeadingRow kHeadings[] = {
    {0.5f, 1.25f, 45.0f},   {1.25f, 1.85f, 90.0f},  {1.85f, 2.85f, 135.0f}, {2.85f, 3.2f, 180.0f},
    {3.2f, 4.0f, 225.0f},   {4.0f, 5.0f, 270.0f},   {5.0f, 6.0f, 335.0f},   {-0.5f, 0.5f, 180.0f},
    {-2.5f, -2.0f, 135.0f}, {-3.3f, -2.5f, 0.0f},   {-4.0f, -3.3f, 225.0f}, {-5.0f, -4.0f, 90.0f},
    {-6.5f, -5.0f, 335.0f}, {-2.0f, -1.0f, 270.0f}, {-1.0f, -0.5f, 45.0f},
};

} // namespace

float RadToDeg(float angle) {
    return angle * kDegreesPerRadian;
}

D3DXVECTOR3 QuaternionToEuler(D3DXQUATERNION q) {
    const double x = q.x;
    const double y = q.y;
    const double z = q.z;
    const double w = q.w;
    const double k = kDegreesPerRadian;
    const double s = 2.0 * (z * x - y * w);
    if (std::fabs(s) > kSingularLimit) {
        // Looking straight up or down: the first angle is folded into the third.
        const double second = (s / std::fabs(s)) * -kHalfPi * k;
        const double third = std::atan2(2.0 * (z * w - x * y), -2.0 * (y * w + z * x) * s) * k;
        return D3DXVECTOR3(0.0f, static_cast<float>(second), static_cast<float>(third));
    }
    const double first = std::atan2(2.0 * (y * z + x * w), w * w - x * x - y * y + z * z) * k;
    const double second = std::asin(-s) * k;
    const double third = std::atan2(2.0 * (x * y + z * w), w * w + x * x - y * y - z * z) * k;
    return D3DXVECTOR3(static_cast<float>(first), static_cast<float>(second), static_cast<float>(third));
}

float AngleDifference(float a, float b) {
    if (b > 0.0f && a < 0.0f) {
        return a + b;
    }
    if (b > 0.0f && a > 0.0f) {
        return b - a;
    }
    if (b < 0.0f && a < 0.0f) {
        return a - b;
    }
    if (b < 0.0f && a > 0.0f) {
        return -b - a;
    }
    return b;
}

float AngleSpan(float a, float b) {
    return b > a ? b - a : a - b;
}

float HeadingFromAngle(float a) {
    float heading = (a >= 5.0f && a < 7.5f) ? 0.0f : a;
    for (const HeadingRow& row : kHeadings) {
        if (a >= row.low && a < row.high) {
            heading = row.heading;
        }
    }
    return heading;
}

int Lerp3(const float* segment, float t, float* out) {
    for (int i = 0; i < 3; ++i) {
        out[i] = segment[i] + (segment[i + 3] - segment[i]) * t;
    }
    return 0;
}

int Bezier3(const float* control, float t, float* out) {
    const float u = 1.0f - t;
    const float start = u * u * u;
    const float nearStart = 3.0f * t * u * u;
    const float nearEnd = 3.0f * t * t * u;
    const float end = t * t * t;
    for (int i = 0; i < 3; ++i) {
        // The array holds the start, the end, then the inner point near the start and the one near the end.
        out[i] = ((start * control[i] + nearStart * control[i + 6]) + nearEnd * control[i + 9]) +
                 end * control[i + 3];
    }
    return 0;
}
