// Triangle against triangle after Möller ("A fast triangle-triangle intersection test", 1997): reject
// when one triangle lies wholly on one side of the other's plane, otherwise compare the two intervals
// that the triangles cut from the line where the planes meet. Coplanar triangles are compared in 2D.
#include "collision/triangle_intersect.h"

#include <cmath>

namespace {

Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Length(const Point3& a) {
    return std::sqrt(Dot(a, a));
}

double Component(const Point3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

struct Point2 {
    double x, y;
};

// Twice the signed area of (a, b, c); positive when counter-clockwise.
double Orient(const Point2& a, const Point2& b, const Point2& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

int Sign(double value, double tolerance) {
    if (value > tolerance) {
        return 1;
    }
    if (value < -tolerance) {
        return -1;
    }
    return 0;
}

// Closed segments p0p1 and q0q1 in the plane; `areaTolerance` is the tolerance of the orientations.
bool SegmentsMeet(const Point2& p0, const Point2& p1, const Point2& q0, const Point2& q1,
                  double areaTolerance, double tolerance) {
    const int o1 = Sign(Orient(p0, p1, q0), areaTolerance);
    const int o2 = Sign(Orient(p0, p1, q1), areaTolerance);
    const int o3 = Sign(Orient(q0, q1, p0), areaTolerance);
    const int o4 = Sign(Orient(q0, q1, p1), areaTolerance);
    if (o1 == 0 && o2 == 0) {
        // On one line: compare the spans along the line's longer axis.
        const bool alongX = std::fabs(p1.x - p0.x) >= std::fabs(p1.y - p0.y);
        const double pLow = alongX ? std::fmin(p0.x, p1.x) : std::fmin(p0.y, p1.y);
        const double pHigh = alongX ? std::fmax(p0.x, p1.x) : std::fmax(p0.y, p1.y);
        const double qLow = alongX ? std::fmin(q0.x, q1.x) : std::fmin(q0.y, q1.y);
        const double qHigh = alongX ? std::fmax(q0.x, q1.x) : std::fmax(q0.y, q1.y);
        return pHigh >= qLow - tolerance && qHigh >= pLow - tolerance;
    }
    return o1 * o2 <= 0 && o3 * o4 <= 0;
}

bool PointInTriangle(const Point2& p, const Point2 t[3], double areaTolerance) {
    const int s0 = Sign(Orient(t[0], t[1], p), areaTolerance);
    const int s1 = Sign(Orient(t[1], t[2], p), areaTolerance);
    const int s2 = Sign(Orient(t[2], t[0], p), areaTolerance);
    const bool hasNegative = s0 < 0 || s1 < 0 || s2 < 0;
    const bool hasPositive = s0 > 0 || s1 > 0 || s2 > 0;
    return !(hasNegative && hasPositive);
}

// Both triangles in one plane with normal n: drop n's largest axis and compare the shadows.
bool CoplanarTrianglesMeet(const Point3& n, const Point3 a[3], const Point3 b[3], double tolerance) {
    const double ax = std::fabs(n.x);
    const double ay = std::fabs(n.y);
    const double az = std::fabs(n.z);
    int u = 1;
    int v = 2;
    if (ay >= ax && ay >= az) {
        u = 0;
        v = 2;
    } else if (az >= ax && az >= ay) {
        u = 0;
        v = 1;
    }
    Point2 p[3];
    Point2 q[3];
    double extent = 0.0;
    for (int i = 0; i < 3; ++i) {
        p[i] = {Component(a[i], u), Component(a[i], v)};
        q[i] = {Component(b[i], u), Component(b[i], v)};
        extent = std::fmax(extent,
                           std::fmax(Length(Sub(a[i], a[(i + 1) % 3])), Length(Sub(b[i], b[(i + 1) % 3]))));
    }
    const double areaTolerance = tolerance * extent;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (SegmentsMeet(p[i], p[(i + 1) % 3], q[j], q[(j + 1) % 3], areaTolerance, tolerance)) {
                return true;
            }
        }
    }
    return PointInTriangle(p[0], q, areaTolerance) || PointInTriangle(q[0], p, areaTolerance);
}

// Signed distances of t's corners from the plane (n, point), snapped to 0 within the tolerance.
void PlaneDistances(const Point3& n, const Point3& point, const Point3 t[3], double tolerance, double d[3]) {
    const double length = Length(n);
    for (int i = 0; i < 3; ++i) {
        d[i] = Dot(n, Sub(t[i], point)) / length;
        if (std::fabs(d[i]) <= tolerance) {
            d[i] = 0.0;
        }
    }
}

bool AllOnOneSide(const double d[3]) {
    return (d[0] > 0.0 && d[1] > 0.0 && d[2] > 0.0) || (d[0] < 0.0 && d[1] < 0.0 && d[2] < 0.0);
}

// The interval that a triangle cuts from the planes' common line, given the corners' projections p on
// that line and their plane distances d (not all on one side, not all zero).
void LineInterval(const double p[3], const double d[3], double* low, double* high) {
    // The corner alone on its side of the plane, and the other two.
    int alone = 0;
    if (d[0] * d[1] > 0.0) {
        alone = 2;
    } else if (d[0] * d[2] > 0.0) {
        alone = 1;
    } else if (d[1] * d[2] > 0.0 || d[0] != 0.0) {
        alone = 0;
    } else if (d[1] != 0.0) {
        alone = 1;
    } else {
        alone = 2;
    }
    const int first = (alone + 1) % 3;
    const int second = (alone + 2) % 3;
    double t0 = p[alone];
    double t1 = p[alone];
    if (d[alone] != d[first]) {
        t0 = p[alone] + (p[first] - p[alone]) * d[alone] / (d[alone] - d[first]);
    }
    if (d[alone] != d[second]) {
        t1 = p[alone] + (p[second] - p[alone]) * d[alone] / (d[alone] - d[second]);
    }
    *low = t0 < t1 ? t0 : t1;
    *high = t0 < t1 ? t1 : t0;
}

} // namespace

bool TrianglesIntersect(const Point3 a[3], const Point3 b[3], double tolerance) {
    const Point3 na = Cross(Sub(a[1], a[0]), Sub(a[2], a[0]));
    const Point3 nb = Cross(Sub(b[1], b[0]), Sub(b[2], b[0]));
    if (Length(na) == 0.0 || Length(nb) == 0.0) {
        return false;
    }

    double db[3];
    PlaneDistances(na, a[0], b, tolerance, db);
    if (AllOnOneSide(db)) {
        return false;
    }
    double da[3];
    PlaneDistances(nb, b[0], a, tolerance, da);
    if (AllOnOneSide(da)) {
        return false;
    }
    if (db[0] == 0.0 && db[1] == 0.0 && db[2] == 0.0) {
        return CoplanarTrianglesMeet(na, a, b, tolerance);
    }
    if (da[0] == 0.0 && da[1] == 0.0 && da[2] == 0.0) {
        return CoplanarTrianglesMeet(nb, a, b, tolerance);
    }

    // Project onto the largest axis of the line's direction: the order of points on the line is kept.
    const Point3 line = Cross(na, nb);
    int axis = 0;
    if (std::fabs(line.y) > std::fabs(line.x)) {
        axis = 1;
    }
    if (std::fabs(line.z) > std::fabs(Component(line, axis))) {
        axis = 2;
    }
    const double pa[3] = {Component(a[0], axis), Component(a[1], axis), Component(a[2], axis)};
    const double pb[3] = {Component(b[0], axis), Component(b[1], axis), Component(b[2], axis)};
    double aLow = 0.0;
    double aHigh = 0.0;
    double bLow = 0.0;
    double bHigh = 0.0;
    LineInterval(pa, da, &aLow, &aHigh);
    LineInterval(pb, db, &bLow, &bHigh);
    return aHigh >= bLow - tolerance && bHigh >= aLow - tolerance;
}
