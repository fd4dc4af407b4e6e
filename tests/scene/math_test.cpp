// Angles and curves.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(RadToDeg, UsesTheFactorOneStepBelowTheNearestFloat) {
    const float degrees = RadToDeg(1.0f);
    EXPECT_EQ(degrees, 57.2957763671875f);
    EXPECT_NE(degrees, 57.29578f);
    uint32_t bits = 0;
    memcpy(&bits, &degrees, sizeof(bits));
    EXPECT_EQ(bits, 0x42652EE0u);
    EXPECT_EQ(RadToDeg(-2.0f), -2.0f * 57.2957763671875f);
}

TEST(QuaternionToEuler, RegularRotations) {
    const D3DXVECTOR3 identity = QuaternionToEuler(D3DXQUATERNION(0, 0, 0, 1));
    EXPECT_EQ(identity, D3DXVECTOR3(0, 0, 0));

    const D3DXVECTOR3 aboutX = QuaternionToEuler(D3DXQUATERNION(0.7071068f, 0, 0, 0.7071068f));
    EXPECT_NEAR(aboutX.x, 90.0f, 1e-4f);
    EXPECT_NEAR(aboutX.y, 0.0f, 1e-4f);
    EXPECT_NEAR(aboutX.z, 0.0f, 1e-4f);

    // A quarter turn about z.
    const D3DXVECTOR3 aboutZ = QuaternionToEuler(D3DXQUATERNION(0, 0, 0.7071068f, 0.7071068f));
    EXPECT_NEAR(aboutZ.x, 0.0f, 1e-4f);
    EXPECT_NEAR(aboutZ.y, 0.0f, 1e-4f);
    EXPECT_NEAR(aboutZ.z, 90.0f, 1e-4f);

    // 30 degrees about y stays in the regular case: asin of minus s.
    const float half = 15.0f * D3DX_PI / 180.0f;
    const D3DXVECTOR3 aboutY = QuaternionToEuler(D3DXQUATERNION(0, std::sin(half), 0, std::cos(half)));
    EXPECT_NEAR(aboutY.y, 30.0f, 1e-3f);
}

TEST(QuaternionToEuler, StraightUpOrDownTakesTheSingularCase) {
    const D3DXVECTOR3 up = QuaternionToEuler(D3DXQUATERNION(0, 0.7071068f, 0, 0.7071068f));
    EXPECT_EQ(up.x, 0.0f);
    EXPECT_FLOAT_EQ(up.y, 90.0f);
    EXPECT_FLOAT_EQ(up.z, 0.0f);
    const D3DXVECTOR3 down = QuaternionToEuler(D3DXQUATERNION(0, -0.7071068f, 0, 0.7071068f));
    EXPECT_EQ(down.x, 0.0f);
    EXPECT_FLOAT_EQ(down.y, -90.0f);
}

TEST(QuaternionToEuler, NotANumberTakesTheRegularCase) {
    const D3DXVECTOR3 angles = QuaternionToEuler(D3DXQUATERNION(kNaN, 0, 0, 1));
    EXPECT_TRUE(std::isnan(angles.x));
    EXPECT_TRUE(std::isnan(angles.y));
}

TEST(AngleDifference, IsTheDifferenceOfMagnitudesOrBWhenEitherIsZero) {
    EXPECT_EQ(AngleDifference(-30.0f, 20.0f), -10.0f);
    EXPECT_EQ(AngleDifference(10.0f, 25.0f), 15.0f);
    EXPECT_EQ(AngleDifference(-10.0f, -25.0f), 15.0f);
    EXPECT_EQ(AngleDifference(40.0f, -25.0f), -15.0f);
    EXPECT_EQ(AngleDifference(0.0f, -20.0f), -20.0f);
    EXPECT_EQ(AngleDifference(10.0f, 0.0f), 0.0f);
    EXPECT_EQ(AngleDifference(kNaN, 7.0f), 7.0f);
    EXPECT_TRUE(std::isnan(AngleDifference(3.0f, kNaN)));
}

TEST(AngleSpan, IsNeverNegative) {
    EXPECT_EQ(AngleSpan(5.0f, 2.0f), 3.0f);
    EXPECT_EQ(AngleSpan(2.0f, 5.0f), 3.0f);
    EXPECT_EQ(AngleSpan(-4.0f, 4.0f), 8.0f);
    EXPECT_EQ(AngleSpan(1.0f, 1.0f), 0.0f);
}

TEST(HeadingFromAngle, EachRowHoldsFromItsLowerBoundToJustBelowItsUpperBound) {
    struct Row {
        float low, high, heading;
    };
    const Row rows[] = {{0.5f, 1.25f, 45},   {1.25f, 1.85f, 90},  {1.85f, 2.85f, 135}, {2.85f, 3.2f, 180},
                        {3.2f, 4.0f, 225},   {4.0f, 5.0f, 270},   {5.0f, 6.0f, 335},   {-0.5f, 0.5f, 180},
                        {-2.5f, -2.0f, 135}, {-3.3f, -2.5f, 0},   {-4.0f, -3.3f, 225}, {-5.0f, -4.0f, 90},
                        {-6.5f, -5.0f, 335}, {-2.0f, -1.0f, 270}, {-1.0f, -0.5f, 45}};
    for (const Row& row : rows) {
        EXPECT_EQ(HeadingFromAngle(row.low), row.heading) << "at " << row.low;
        EXPECT_EQ(HeadingFromAngle(std::nextafter(row.high, -HUGE_VALF)), row.heading)
            << "below " << row.high;
    }
}

TEST(HeadingFromAngle, TheEdgesOfTheTable) {
    EXPECT_EQ(HeadingFromAngle(0.5f), 45.0f);
    EXPECT_EQ(HeadingFromAngle(5.0f), 335.0f);
    EXPECT_EQ(HeadingFromAngle(6.0f), 0.0f);
    EXPECT_EQ(HeadingFromAngle(7.0f), 0.0f);
    EXPECT_EQ(HeadingFromAngle(7.5f), 7.5f);
    EXPECT_EQ(HeadingFromAngle(0.0f), 180.0f);
    EXPECT_EQ(HeadingFromAngle(-0.5f), 180.0f);
    EXPECT_EQ(HeadingFromAngle(-1.0f), 45.0f);
    EXPECT_EQ(HeadingFromAngle(-6.5f), 335.0f);
    EXPECT_EQ(HeadingFromAngle(-7.0f), -7.0f);
    EXPECT_EQ(HeadingFromAngle(std::nextafter(-6.5f, -HUGE_VALF)), std::nextafter(-6.5f, -HUGE_VALF));
    EXPECT_TRUE(std::isnan(HeadingFromAngle(kNaN)));
}

TEST(Lerp3, ExtrapolatesBeyondTheSegment) {
    const float segment[6] = {1, 2, 3, 3, 6, 11};
    float out[3] = {};
    EXPECT_EQ(Lerp3(segment, 0.0f, out), 0);
    EXPECT_EQ(D3DXVECTOR3(out), D3DXVECTOR3(1, 2, 3));
    Lerp3(segment, 0.5f, out);
    EXPECT_EQ(D3DXVECTOR3(out), D3DXVECTOR3(2, 4, 7));
    Lerp3(segment, 2.0f, out);
    EXPECT_EQ(D3DXVECTOR3(out), D3DXVECTOR3(5, 10, 19));
}

TEST(Bezier3, RunsFromTheFirstPointToTheSecondPullingTowardsTheInnerPoints) {
    // Start, end, inner point near the start, inner point near the end.
    const float control[12] = {0, 0, 0, 3, 0, 0, 0, 3, 0, 3, 3, 0};
    float out[3] = {};
    EXPECT_EQ(Bezier3(control, 0.0f, out), 0);
    EXPECT_EQ(D3DXVECTOR3(out), D3DXVECTOR3(0, 0, 0));
    Bezier3(control, 1.0f, out);
    EXPECT_EQ(D3DXVECTOR3(out), D3DXVECTOR3(3, 0, 0)) << "the second point of the array, not the third";
    Bezier3(control, 0.5f, out);
    // 3/8 of each inner point and 1/8 of each end point.
    EXPECT_FLOAT_EQ(out[0], 1.5f);
    EXPECT_FLOAT_EQ(out[1], 2.25f);
    Bezier3(control, 0.25f, out);
    EXPECT_FLOAT_EQ(out[0], 3 * 0.25f * 0.25f * 0.75f * 3 + 0.25f * 0.25f * 0.25f * 3);
    EXPECT_FLOAT_EQ(out[1], 3 * 0.25f * 0.75f * 0.75f * 3 + 3 * 0.25f * 0.25f * 0.75f * 3);
}

} // namespace
