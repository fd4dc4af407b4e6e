// The collision library through its exported factory: cubes placed by matrices, single triangles in
// the awkward positions of the exact test, and the box tree against testing every pair.
#include "collision/collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

struct Triangle {
    D3DXVECTOR3 a, b, c;
};

// Owns an object made by the factory.
class Object {
public:
    Object() : m_object(newCollisionObject()) {}
    ~Object() {
        if (m_object) {
            m_object->Release();
        }
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    CCollisionObject* operator->() const { return m_object; }
    CCollisionObject* get() const { return m_object; }

    void Add(const std::vector<Triangle>& triangles) {
        for (const Triangle& t : triangles) {
            m_object->AddTriangle(t.a, t.b, t.c);
        }
    }
    void Place(const D3DXMATRIX& m) { m_object->SetTransform(&m); }
    void Move(float x, float y, float z) {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        Place(m);
    }

private:
    CCollisionObject* m_object;
};

// A unit cube centred on the origin, two triangles a face.
std::vector<Triangle> UnitCube() {
    const float h = 0.5f;
    const D3DXVECTOR3 v[8] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                              {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {3, 6, 2}, {3, 7, 6}, {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5}};
    std::vector<Triangle> cube;
    for (const auto& f : faces) {
        cube.push_back({v[f[0]], v[f[1]], v[f[2]]});
    }
    return cube;
}

// Two finished cubes; the second is placed by the tests.
class Cubes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(first.get(), nullptr);
        ASSERT_NE(second.get(), nullptr);
        first.Add(UnitCube());
        second.Add(UnitCube());
        first->Finish();
        second->Finish();
    }
    bool Hit() {
        const bool forward = first->TestAgainst(second.get(), 0);
        EXPECT_EQ(forward, second->TestAgainst(first.get(), 0)) << "the test is not symmetric";
        return forward;
    }

    Object first;
    Object second;
};

TEST_F(Cubes, OverlappingCubesCollide) {
    second.Move(0.5f, 0.25f, 0.0f);
    EXPECT_TRUE(Hit());
}

TEST_F(Cubes, CubesSharingAFaceOrAnEdgeCollide) {
    second.Move(1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(Hit());
    second.Move(1.0f, 1.0f, 0.0f);
    EXPECT_TRUE(Hit());
    second.Move(1.0f, 1.0f, 1.0f); // one corner
    EXPECT_TRUE(Hit());
}

TEST_F(Cubes, CubesApartDoNotCollide) {
    second.Move(1.001f, 0.0f, 0.0f);
    EXPECT_FALSE(Hit());
    second.Move(0.0f, -3.0f, 7.0f);
    EXPECT_FALSE(Hit());
}

TEST_F(Cubes, TheTransformOfBothObjectsCounts) {
    // Placed apart, then moved together: both matrices are applied, and each new matrix is used.
    first.Move(10.0f, 0.0f, 0.0f);
    second.Move(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(Hit());
    second.Move(10.5f, 0.0f, 0.0f);
    EXPECT_TRUE(Hit());
    first.Move(-10.0f, 0.0f, 0.0f);
    EXPECT_FALSE(Hit());
}

TEST_F(Cubes, RotationDecidesWhenTheCubesPassCloseBy) {
    // At 1.2 apart square cubes miss; turned by 45 degrees the second reaches 1.2 - 0.707 < 0.5.
    D3DXMATRIX turn;
    D3DXMATRIX move;
    D3DXMATRIX placed;
    D3DXMatrixRotationY(&turn, D3DX_PI / 4.0f);
    second.Move(1.2f, 0.0f, 0.0f);
    EXPECT_FALSE(Hit());
    D3DXMatrixTranslation(&move, 1.2f, 0.0f, 0.0f);
    D3DXMatrixMultiply(&placed, &turn, &move);
    second.Place(placed);
    EXPECT_TRUE(Hit());
    D3DXMatrixTranslation(&move, 1.25f, 0.0f, 0.0f);
    D3DXMatrixMultiply(&placed, &turn, &move);
    second.Place(placed);
    EXPECT_FALSE(Hit());
}

TEST_F(Cubes, ACubeWhollyInsideAnotherDoesNotCollideBecauseOnlySurfacesCount) {
    D3DXMATRIX small;
    D3DXMatrixScaling(&small, 0.25f, 0.25f, 0.25f);
    second.Place(small);
    EXPECT_FALSE(Hit());
    // Grown until its faces cross the outer cube's.
    D3DXMatrixScaling(&small, 1.5f, 0.5f, 0.5f);
    second.Place(small);
    EXPECT_TRUE(Hit());
}

TEST(CollisionObject, UnfinishedOrEmptyObjectsCollideWithNothing) {
    Object cube;
    Object unfinished;
    Object empty;
    cube.Add(UnitCube());
    cube->Finish();
    unfinished.Add(UnitCube());
    empty->Finish();
    EXPECT_EQ(unfinished->GetTriangleCount(), 12);
    EXPECT_FALSE(cube->TestAgainst(unfinished.get(), 0));
    EXPECT_FALSE(unfinished->TestAgainst(cube.get(), 0));
    EXPECT_FALSE(cube->TestAgainst(empty.get(), 0));
    EXPECT_FALSE(cube->TestAgainst(nullptr, 0));
}

TEST(CollisionObject, KeepsOnlyUsableTrianglesAndNothingAfterFinish) {
    Object object;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    object->AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    object->AddTriangle({0, 0, 0}, {1, 1, 1}, {2, 2, 2}); // no area
    object->AddTriangle({0, 0, 0}, {nan, 0, 0}, {0, 1, 0});
    object->AddTriangle({0, 0, 0}, {HUGE_VALF, 0, 0}, {0, 1, 0});
    EXPECT_EQ(object->GetTriangleCount(), 1);
    object->Finish();
    object->AddTriangle({0, 0, 1}, {1, 0, 1}, {0, 1, 1});
    EXPECT_EQ(object->GetTriangleCount(), 1);
    object->SetTransform(nullptr); // ignored
}

TEST(CollisionObject, AMatrixThatIsNotANumberMakesNoCollision) {
    Object a;
    Object b;
    a.Add(UnitCube());
    b.Add(UnitCube());
    a->Finish();
    b->Finish();
    D3DXMATRIX bad;
    D3DXMatrixIdentity(&bad);
    bad._41 = std::numeric_limits<float>::quiet_NaN();
    b.Place(bad);
    EXPECT_FALSE(a->TestAgainst(b.get(), 0));
}

// Single triangles: each case is one pair of the exact test.
bool TrianglesMeet(const Triangle& s, const Triangle& t) {
    Object a;
    Object b;
    a.Add({s});
    b.Add({t});
    a->Finish();
    b->Finish();
    return a->TestAgainst(b.get(), 0);
}

TEST(TriangleTest, CrossingAndTouchingTrianglesMeet) {
    const Triangle flat = {{-1, 0, -1}, {1, 0, -1}, {0, 0, 1}};
    EXPECT_TRUE(TrianglesMeet(flat, {{0, -1, 0}, {0, 1, 0}, {0.2f, 1, 0.5f}})) << "piercing";
    EXPECT_TRUE(TrianglesMeet(flat, {{0, 0, 0}, {0, 1, 0}, {0.2f, 1, 0.5f}})) << "corner on the face";
    EXPECT_TRUE(TrianglesMeet(flat, {{-1, 0, -1}, {-2, 1, -1}, {-2, -1, -1}})) << "corners shared";
    EXPECT_TRUE(TrianglesMeet(flat, {{-2, 0, -1}, {2, 0, -1}, {0, 2, -1}})) << "edge along an edge";
    EXPECT_FALSE(TrianglesMeet(flat, {{0, 0.001f, 0}, {0, 1, 0}, {0.2f, 1, 0.5f}})) << "corner just above";
    EXPECT_FALSE(TrianglesMeet(flat, {{-1, 0.5f, -1}, {1, 0.5f, -1}, {0, 0.5f, 1}})) << "parallel";
    EXPECT_FALSE(TrianglesMeet(flat, {{3, -1, 0}, {3, 1, 0}, {4, 0, 0}})) << "crossing the plane outside";
}

TEST(TriangleTest, CoplanarTrianglesMeetWhenTheirAreasShareAPoint) {
    const Triangle big = {{0, 0, 0}, {4, 0, 0}, {0, 0, 4}};
    EXPECT_TRUE(TrianglesMeet(big, {{1, 0, 1}, {2, 0, 1}, {1, 0, 2}})) << "one inside the other";
    EXPECT_TRUE(TrianglesMeet({{1, 0, 1}, {2, 0, 1}, {1, 0, 2}}, big)) << "the other way round";
    EXPECT_TRUE(TrianglesMeet(big, {{3, 0, -1}, {3, 0, 3}, {5, 0, 1}})) << "edges crossing";
    EXPECT_TRUE(TrianglesMeet(big, {{4, 0, 0}, {5, 0, 0}, {5, 0, 1}})) << "one shared corner";
    EXPECT_TRUE(TrianglesMeet(big, {{1, 0, 0}, {3, 0, 0}, {2, 0, -1}})) << "overlapping edges";
    EXPECT_FALSE(TrianglesMeet(big, {{3, 0, 3}, {5, 0, 3}, {3, 0, 5}})) << "beside the long edge";
    EXPECT_FALSE(TrianglesMeet(big, {{5, 0, 0}, {6, 0, 0}, {6, 0, 1}})) << "further along the axis";
}

// A random soup against another: the tree walk must give what testing every pair of triangles gives.
std::vector<Triangle> RandomSoup(unsigned seed, int count, float spread) {
    srand(seed);
    auto random = [spread]() { return spread * (static_cast<float>(rand()) / RAND_MAX - 0.5f); };
    std::vector<Triangle> soup;
    for (int i = 0; i < count; ++i) {
        const D3DXVECTOR3 centre(random(), random(), random());
        const D3DXVECTOR3 a = centre + D3DXVECTOR3(random(), random(), random()) * 0.1f;
        const D3DXVECTOR3 b = centre + D3DXVECTOR3(random(), random(), random()) * 0.1f;
        const D3DXVECTOR3 c = centre + D3DXVECTOR3(random(), random(), random()) * 0.1f;
        soup.push_back({a, b, c});
    }
    return soup;
}

TEST(CollisionObject, TheBoxTreeFindsWhatEveryPairWouldFind) {
    int hits = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const std::vector<Triangle> first = RandomSoup(seed, 40, 4.0f);
        const std::vector<Triangle> second = RandomSoup(seed + 1000, 40, 4.0f);
        bool anyPair = false;
        for (const Triangle& s : first) {
            for (const Triangle& t : second) {
                anyPair = anyPair || TrianglesMeet(s, t);
            }
        }
        Object a;
        Object b;
        a.Add(first);
        b.Add(second);
        a->Finish();
        b->Finish();
        EXPECT_EQ(a->TestAgainst(b.get(), 0), anyPair) << "seed " << seed;
        hits += anyPair ? 1 : 0;
    }
    // Both answers must occur, or the comparison proves little.
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 12);
}

} // namespace
