// The collision object: the triangles as given, a bounding-box tree built over them once, and at test
// time the triangles placed by the object's matrix with the tree's boxes refitted around them. Two
// objects are compared by walking both trees and running the exact triangle test only where boxes meet.
#include "collision/collision.h"
#include "collision/triangle_intersect.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr int kLeafTriangles = 4;
// Relative to the size of the scene being compared: how close counts as touching.
constexpr double kRelativeTolerance = 1e-7;

struct Box {
    double min[3];
    double max[3];
};

struct Node {
    Box box;
    int left; // child indices, or -1 for a leaf
    int right;
    int first; // a leaf's triangles: order[first .. first + count)
    int count;
};

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Box EmptyBox() {
    return {{HUGE_VAL, HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL}};
}

void Grow(Box* box, const Point3& p) {
    const double c[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
        box->min[i] = std::fmin(box->min[i], c[i]);
        box->max[i] = std::fmax(box->max[i], c[i]);
    }
}

void Grow(Box* box, const Box& other) {
    for (int i = 0; i < 3; ++i) {
        box->min[i] = std::fmin(box->min[i], other.min[i]);
        box->max[i] = std::fmax(box->max[i], other.max[i]);
    }
}

bool BoxesMeet(const Box& a, const Box& b, double tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (a.max[i] < b.min[i] - tolerance || b.max[i] < a.min[i] - tolerance) {
            return false;
        }
    }
    return true;
}

double BoxSize(const Box& box) {
    return (box.max[0] - box.min[0]) + (box.max[1] - box.min[1]) + (box.max[2] - box.min[2]);
}

Point3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    // Row vector times an affine matrix, in double precision.
    return {v.x * static_cast<double>(m._11) + v.y * static_cast<double>(m._21) +
                v.z * static_cast<double>(m._31) + m._41,
            v.x * static_cast<double>(m._12) + v.y * static_cast<double>(m._22) +
                v.z * static_cast<double>(m._32) + m._42,
            v.x * static_cast<double>(m._13) + v.y * static_cast<double>(m._23) +
                v.z * static_cast<double>(m._33) + m._43};
}

class CollisionMesh final : public CCollisionObject {
public:
    CollisionMesh() { D3DXMatrixIdentity(&m_world); }

    void Release() override { delete this; }

    void AddTriangle(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) override {
        if (m_finished || !Finite(a) || !Finite(b) || !Finite(c)) {
            return;
        }
        const D3DXVECTOR3 e1 = b - a;
        const D3DXVECTOR3 e2 = c - a;
        const D3DXVECTOR3 n(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
        if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) {
            return;
        }
        m_corners.push_back(a);
        m_corners.push_back(b);
        m_corners.push_back(c);
    }

    void Finish() override {
        if (m_finished) {
            return;
        }
        m_finished = true;
        const int count = GetTriangleCount();
        if (count == 0) {
            return;
        }
        m_order.resize(count);
        for (int i = 0; i < count; ++i) {
            m_order[i] = i;
        }
        m_nodes.reserve(2 * count);
        Build(0, count);
        m_placed.resize(m_corners.size());
        m_dirty = true;
    }

    void SetTransform(const D3DXMATRIX* world) override {
        if (world) {
            m_world = *world;
            m_dirty = true;
        }
    }

    int GetTriangleCount() const override { return static_cast<int>(m_corners.size() / 3); }

    bool TestAgainst(CCollisionObject* other, int) override {
        // Every object comes from newCollisionObject, so `other` is one of ours.
        CollisionMesh* that = static_cast<CollisionMesh*>(other);
        if (!that || m_nodes.empty() || that->m_nodes.empty()) {
            return false;
        }
        Place();
        that->Place();
        const double scale = std::fmax(m_scale, that->m_scale);
        if (!std::isfinite(scale)) {
            return false;
        }
        return TreesMeet(*that, kRelativeTolerance * scale);
    }

private:
    // Builds the node for order[first .. first + count) and its subtree; returns its index. A parent
    // always stands before its children, so refitting runs from the back.
    int Build(int first, int count) {
        const int index = static_cast<int>(m_nodes.size());
        m_nodes.push_back({EmptyBox(), -1, -1, first, count});
        if (count <= kLeafTriangles) {
            return index;
        }
        Box centres = EmptyBox();
        for (int i = first; i < first + count; ++i) {
            Grow(&centres, Centre(m_order[i]));
        }
        int axis = 0;
        for (int i = 1; i < 3; ++i) {
            if (centres.max[i] - centres.min[i] > centres.max[axis] - centres.min[axis]) {
                axis = i;
            }
        }
        const int half = count / 2;
        std::nth_element(
            m_order.begin() + first, m_order.begin() + first + half, m_order.begin() + first + count,
            [this, axis](int a, int b) { return Coordinate(Centre(a), axis) < Coordinate(Centre(b), axis); });
        const int left = Build(first, half);
        const int right = Build(first + half, count - half);
        m_nodes[index].left = left;
        m_nodes[index].right = right;
        return index;
    }

    Point3 Centre(int triangle) const {
        const D3DXVECTOR3& a = m_corners[3 * triangle];
        const D3DXVECTOR3& b = m_corners[3 * triangle + 1];
        const D3DXVECTOR3& c = m_corners[3 * triangle + 2];
        return {(static_cast<double>(a.x) + b.x + c.x) / 3.0, (static_cast<double>(a.y) + b.y + c.y) / 3.0,
                (static_cast<double>(a.z) + b.z + c.z) / 3.0};
    }

    static double Coordinate(const Point3& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }

    // Places the corners by the matrix and refits the boxes around them, when the matrix changed.
    void Place() {
        if (!m_dirty) {
            return;
        }
        m_dirty = false;
        m_scale = 1.0;
        for (size_t i = 0; i < m_corners.size(); ++i) {
            m_placed[i] = Transform(m_corners[i], m_world);
            m_scale =
                std::fmax(m_scale, std::fmax(std::fabs(m_placed[i].x),
                                             std::fmax(std::fabs(m_placed[i].y), std::fabs(m_placed[i].z))));
        }
        for (size_t n = m_nodes.size(); n-- > 0;) {
            Node& node = m_nodes[n];
            node.box = EmptyBox();
            if (node.left < 0) {
                for (int i = node.first; i < node.first + node.count; ++i) {
                    for (int corner = 0; corner < 3; ++corner) {
                        Grow(&node.box, m_placed[3 * m_order[i] + corner]);
                    }
                }
            } else {
                Grow(&node.box, m_nodes[node.left].box);
                Grow(&node.box, m_nodes[node.right].box);
            }
        }
    }

    bool TreesMeet(const CollisionMesh& that, double tolerance) const {
        std::vector<std::pair<int, int>> pending;
        pending.push_back({0, 0});
        while (!pending.empty()) {
            const std::pair<int, int> pair = pending.back();
            pending.pop_back();
            const Node& a = m_nodes[pair.first];
            const Node& b = that.m_nodes[pair.second];
            if (!BoxesMeet(a.box, b.box, tolerance)) {
                continue;
            }
            const bool aLeaf = a.left < 0;
            const bool bLeaf = b.left < 0;
            if (aLeaf && bLeaf) {
                if (LeavesMeet(a, that, b, tolerance)) {
                    return true;
                }
            } else if (bLeaf || (!aLeaf && BoxSize(a.box) >= BoxSize(b.box))) {
                pending.push_back({a.left, pair.second});
                pending.push_back({a.right, pair.second});
            } else {
                pending.push_back({pair.first, b.left});
                pending.push_back({pair.first, b.right});
            }
        }
        return false;
    }

    bool LeavesMeet(const Node& a, const CollisionMesh& that, const Node& b, double tolerance) const {
        for (int i = a.first; i < a.first + a.count; ++i) {
            const Point3* triangleA = &m_placed[3 * m_order[i]];
            for (int j = b.first; j < b.first + b.count; ++j) {
                if (TrianglesIntersect(triangleA, &that.m_placed[3 * that.m_order[j]], tolerance)) {
                    return true;
                }
            }
        }
        return false;
    }

    std::vector<D3DXVECTOR3> m_corners; // three per triangle, mesh space
    std::vector<int> m_order;           // triangle indices, grouped by leaf
    std::vector<Node> m_nodes;          // the tree; node 0 is the root
    std::vector<Point3> m_placed;       // the corners placed by m_world
    D3DXMATRIX m_world;
    double m_scale = 1.0; // the largest placed coordinate, at least 1
    bool m_finished = false;
    bool m_dirty = true;
};

} // namespace

extern "C" CD_API CCollisionObject* newCollisionObject() {
    return new (std::nothrow) CollisionMesh();
}
