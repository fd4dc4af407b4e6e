// Angles and curves.
#pragma once

#include <windows.h>
#include <d3dx9.h>

// Degrees from radians by the factor 57.2957763671875.
float RadToDeg(float angle);
// The angles about x, y and z, in degrees, of a rotation quaternion; straight up or down (|2 (zx - yw)|
// above 0.999999) gives 0 about x and +-90 about y.
D3DXVECTOR3 QuaternionToEuler(D3DXQUATERNION q);
// |b| - |a| for non-zero angles; b itself when either is 0 (or not a number).
float AngleDifference(float a, float b);
// The larger minus the smaller.
float AngleSpan(float a, float b);
// The heading, in degrees, of an angle by a fixed table; angles outside it come back unchanged.
float HeadingFromAngle(float a);
// The point at t along a segment (start, end: 6 floats); t is not clamped. Returns 0.
int Lerp3(const float* segment, float t, float* out);
// The point at t on a cubic Bezier curve given as start, end, the inner point near the start and the
// one near the end (12 floats); t is not clamped. Returns 0.
int Bezier3(const float* control, float t, float* out);
