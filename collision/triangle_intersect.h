// The exact test between two triangles, inside the collision library.
#pragma once

struct Point3 {
    double x, y, z;
};

// True when the two closed triangles share at least one point (touching counts). `tolerance` is the
// distance below which a corner counts as lying in the other triangle's plane and intervals count as
// meeting. Triangles without area give false.
bool TrianglesIntersect(const Point3 a[3], const Point3 b[3], double tolerance);
