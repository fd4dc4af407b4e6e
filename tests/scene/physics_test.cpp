// Frame physics: bounds, mass and inertia from a mesh, box corners, the point, sphere, ray and
// triangle tests, distances to another frame's mesh, and collision objects.
#include "harness.h"
#include "scene/scene.h"
#include "unreadable_mesh.h"

#include <cfloat>
#include <cmath>
#include <memory>
#include <new>

namespace {

// Frames are large; tests keep them zero-filled on the heap as static storage would be.
struct FrameStore {
    std::unique_ptr<BYTE[]> bytes{new BYTE[sizeof(CFrame)]()};
    CFrame* frame = new (bytes.get()) CFrame();
};

class PhysicsTest : public DeviceTest {
protected:
    void TearDown() override {
        for (CMeshContainer* c : m_containers) {
            delete c;
        }
        DeviceTest::TearDown();
    }
    // A box centred on the origin, owned by the fixture.
    CMeshContainer* Box(float width, float height, float depth) {
        ID3DXMesh* mesh = nullptr;
        EXPECT_EQ(D3DXCreateBox(g_pd3dDevice, width, height, depth, &mesh, nullptr), S_OK);
        CMeshContainer* c = new CMeshContainer();
        c->MeshData.Type = D3DXMESHTYPE_MESH;
        c->MeshData.pMesh = mesh;
        m_containers.push_back(c);
        return c;
    }
    // A mesh of the given corners, two faces over the first four (or one over three), owned by the fixture.
    CMeshContainer* Corners(const std::vector<D3DXVECTOR3>& corners) {
        const DWORD faces = corners.size() >= 4 ? 2 : 1;
        ID3DXMesh* mesh = nullptr;
        EXPECT_EQ(D3DXCreateMeshFVF(faces, static_cast<DWORD>(corners.size()), D3DXMESH_MANAGED, D3DFVF_XYZ,
                                    g_pd3dDevice, &mesh),
                  S_OK);
        void* vertices = nullptr;
        mesh->LockVertexBuffer(0, &vertices);
        memcpy(vertices, corners.data(), corners.size() * sizeof(D3DXVECTOR3));
        mesh->UnlockVertexBuffer();
        WORD* indices = nullptr;
        mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices));
        const WORD order[] = {0, 1, 2, 0, 2, 3};
        memcpy(indices, order, faces * 3 * sizeof(WORD));
        mesh->UnlockIndexBuffer();
        CMeshContainer* c = new CMeshContainer();
        c->MeshData.Type = D3DXMESHTYPE_MESH;
        c->MeshData.pMesh = mesh;
        m_containers.push_back(c);
        return c;
    }
    static bool Finite(const D3DXMATRIX& m) {
        for (int i = 0; i < 16; ++i) {
            if (!std::isfinite(m[i])) {
                return false;
            }
        }
        return true;
    }
    static D3DXVECTOR3 VertexAt(CMeshContainer* c, DWORD index) {
        ID3DXMesh* mesh = c->MeshData.pMesh;
        BYTE* v = nullptr;
        mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
        const D3DXVECTOR3 p = *reinterpret_cast<D3DXVECTOR3*>(v + index * mesh->GetNumBytesPerVertex());
        mesh->UnlockVertexBuffer();
        return p;
    }

    std::vector<CMeshContainer*> m_containers;
};

TEST_F(PhysicsTest, UnitCubeGivesUnitExtentsMass100AndRadiusHalf) {
    FrameStore store;
    CFrame& f = *store.frame;
    f.SetupPhysics(Box(1, 1, 1));
    EXPECT_EQ(f.extents, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(f.boxMin, D3DXVECTOR3(-0.5f, -0.5f, -0.5f));
    EXPECT_EQ(f.boxMax, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    EXPECT_FLOAT_EQ(f.mass, 100.0f);
    for (float term : f.inertiaTerms) {
        EXPECT_NEAR(term, 16.67f, 0.005f);
    }
    EXPECT_FLOAT_EQ(f.inertiaTensor._11, f.inertiaTerms[0]);
    EXPECT_FLOAT_EQ(f.inertiaTensor._22, f.inertiaTerms[1]);
    EXPECT_FLOAT_EQ(f.inertiaTensor._33, f.inertiaTerms[2]);
    EXPECT_EQ(f.inertiaTensor._12, 0.0f);
    EXPECT_EQ(f.inertiaTensor._31, 0.0f);
    EXPECT_NEAR(f.inverseInertiaTensor._11, 1.0f / f.inertiaTerms[0], 1e-6f);
    EXPECT_NEAR(f.inverseInertiaTensor._33, 1.0f / f.inertiaTerms[2], 1e-6f);
    EXPECT_FLOAT_EQ(f.radius, 0.5f) << "half the largest extent replaces the sphere's radius";

    // The normalisation matrix takes the bounding sphere to the unit sphere: a corner lands at length 1.
    D3DXVECTOR3 corner(0.5f, 0.5f, 0.5f);
    D3DXVec3TransformCoord(&corner, &corner, &f.normalisation);
    EXPECT_NEAR(D3DXVec3Length(&corner), 1.0f, 1e-3f);
}

TEST_F(PhysicsTest, InertiaPairsXyThenYzThenXzAndTheRadiusFollowsTheLargestExtent) {
    FrameStore tall;
    tall.frame->SetupPhysics(Box(2, 1, 4));
    EXPECT_FLOAT_EQ(tall.frame->mass, 800.0f);
    EXPECT_NEAR(tall.frame->inertiaTerms[0], (4 + 1) * 800.0f / 12, 0.05f);
    EXPECT_NEAR(tall.frame->inertiaTerms[1], (1 + 16) * 800.0f / 12, 0.05f);
    EXPECT_NEAR(tall.frame->inertiaTerms[2], (4 + 16) * 800.0f / 12, 0.05f);
    EXPECT_FLOAT_EQ(tall.frame->radius, 2.0f) << "z wins";

    FrameStore wide;
    wide.frame->SetupPhysics(Box(4, 1, 2));
    EXPECT_FLOAT_EQ(wide.frame->radius, 2.0f) << "x wins";
    FrameStore high;
    high.frame->SetupPhysics(Box(3, 3.5f, 1));
    EXPECT_FLOAT_EQ(high.frame->radius, 1.75f) << "y wins";
}

// A mesh whose vertices cannot be read has no bounds to give: the frame keeps those it had, and no lock
// is left held or undone twice.
TEST_F(PhysicsTest, AMeshWhoseVerticesCannotBeReadLeavesTheFrameAsItWas) {
    FrameStore store;
    CFrame& f = *store.frame;
    CMeshContainer* box = Box(1, 1, 1);
    f.SetupPhysics(box);
    const int objectId = f.objectId;
    CMeshContainer* unreadable = Box(2, 2, 2);
    ID3DXMesh* mesh = unreadable->MeshData.pMesh;
    for (HRESULT lockResult : {D3DERR_INVALIDCALL, S_OK}) {
        SCOPED_TRACE(lockResult == S_OK ? "a lock without a pointer" : "a refused lock");
        UnreadableMesh stand(mesh, lockResult);
        unreadable->MeshData.pMesh = &stand;
        f.SetupPhysics(unreadable);
        f.ComputeBoundingSphere(unreadable);
        unreadable->MeshData.pMesh = mesh;
        EXPECT_EQ(f.extents, D3DXVECTOR3(1, 1, 1));
        EXPECT_FLOAT_EQ(f.mass, 100.0f);
        EXPECT_FLOAT_EQ(f.radius, 0.5f);
        EXPECT_EQ(f.objectId, objectId);
        EXPECT_EQ(stand.locksHeld, 0);
        EXPECT_EQ(stand.strayUnlocks, 0);
    }
    f.ComputeBoundingSphere(unreadable); // read through its own lock, the same mesh gives its sphere
    EXPECT_NEAR(f.radius, std::sqrt(3.0f), 1e-4f);
}

TEST_F(PhysicsTest, APointOrAFlatMeshGivesFiniteNormalisationAndAZeroInverseInertia) {
    FrameStore store;
    CFrame& f = *store.frame;
    // A cube first, so that an inverse left from it would show.
    f.SetupPhysics(Box(1, 1, 1));
    ASSERT_GT(f.inverseInertiaTensor._11, 0.0f);

    // Three corners on one point: a sphere of radius 0 is only moved to the origin, not scaled.
    const D3DXVECTOR3 point(2, 3, 4);
    f.SetupPhysics(Corners({point, point, point}));
    EXPECT_EQ(f.radius, 0.0f);
    EXPECT_EQ(f.mass, 0.0f);
    ASSERT_TRUE(Finite(f.normalisation));
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, -2, -3, -4);
    EXPECT_EQ(f.normalisation, moved);
    D3DXMATRIX zero;
    D3DXMatrixIdentity(&zero);
    zero._11 = zero._22 = zero._33 = 0.0f;
    EXPECT_EQ(f.inverseInertiaTensor, zero) << "no volume, no mass: nothing to invert";

    // A flat square: a real sphere, but no volume.
    f.SetupPhysics(Box(1, 1, 1));
    f.SetupPhysics(Corners({{-1, 0, -1}, {-1, 0, 1}, {1, 0, 1}, {1, 0, -1}}));
    EXPECT_EQ(f.extents, D3DXVECTOR3(2, 0, 2));
    EXPECT_EQ(f.mass, 0.0f);
    EXPECT_FLOAT_EQ(f.radius, 1.0f);
    ASSERT_TRUE(Finite(f.normalisation));
    EXPECT_EQ(f.inverseInertiaTensor, zero);
}

TEST_F(PhysicsTest, EachSetupTakesTheNextObjectId) {
    FrameStore first;
    FrameStore second;
    const int n = g_NextObjectId;
    first.frame->SetupPhysics(Box(1, 1, 1));
    second.frame->SetupPhysics(Box(1, 1, 1));
    EXPECT_EQ(first.frame->objectId, n);
    EXPECT_EQ(second.frame->objectId, n + 1);
    EXPECT_EQ(g_NextObjectId, n + 2);
}

TEST_F(PhysicsTest, ComputeBoundingSphereChangesOnlyTheSphere) {
    FrameStore store;
    CFrame& f = *store.frame;
    f.mass = 7.0f;
    f.ComputeBoundingSphere(Box(2, 2, 2));
    EXPECT_NEAR(f.radius, std::sqrt(3.0f), 1e-4f);
    EXPECT_NEAR(D3DXVec3Length(&f.sphereCentre), 0.0f, 1e-5f);
    EXPECT_EQ(f.mass, 7.0f);
    EXPECT_EQ(f.extents, D3DXVECTOR3(0, 0, 0));
}

TEST_F(PhysicsTest, BoxCornersStandAroundThePositionInAFixedOrderAndIgnoreTheAngles) {
    FrameStore store;
    CFrame& f = *store.frame;
    f.SetPosition(10, 0, 0);
    f.UpdateBoxCorners();
    for (const D3DXVECTOR3& corner : f.boxCorners) {
        EXPECT_EQ(corner, D3DXVECTOR3(10, 0, 0)) << "before any set-up the extents are zero";
    }
    f.SetupPhysics(Box(2, 1, 4));
    f.yaw = 1.0f;
    f.UpdateBoxCorners();
    const D3DXVECTOR3 expected[8] = {{11, 0.5f, -2}, {11, 0.5f, 2}, {11, -0.5f, 2}, {11, -0.5f, -2},
                                     {9, 0.5f, -2},  {9, 0.5f, 2},  {9, -0.5f, 2},  {9, -0.5f, -2}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f.boxCorners[i], expected[i]) << "corner " << i;
    }
}

TEST_F(PhysicsTest, OffsetAndScaleMoveOnlyThePositions) {
    CMeshContainer* box = Box(2, 2, 2);
    const D3DXVECTOR3 before = VertexAt(box, 0);
    EXPECT_EQ(ScaleMesh(box, 1.0f), S_OK);
    EXPECT_EQ(VertexAt(box, 0), before);
    EXPECT_EQ(ScaleMesh(box, 3.0f), S_OK);
    EXPECT_EQ(VertexAt(box, 0), 3.0f * before);
    EXPECT_EQ(OffsetMesh(box, 1.0f, -2.0f, 0.5f), S_OK);
    EXPECT_EQ(VertexAt(box, 0), 3.0f * before + D3DXVECTOR3(1.0f, -2.0f, 0.5f));
    // The normal after the position is untouched: the box's faces still point along an axis.
    BYTE* v = nullptr;
    box->MeshData.pMesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
    const D3DXVECTOR3 normal = *reinterpret_cast<D3DXVECTOR3*>(v + sizeof(D3DXVECTOR3));
    box->MeshData.pMesh->UnlockVertexBuffer();
    EXPECT_FLOAT_EQ(D3DXVec3Length(&normal), 1.0f);

    CMeshContainer empty;
    EXPECT_EQ(OffsetMesh(&empty, 1, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(ScaleMesh(&empty, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(ScaleMesh(nullptr, 2), D3DERR_INVALIDCALL);
}

// A lock that hands out no pointer must not be written through; nothing is changed, and no lock is left
// held or undone twice.
TEST_F(PhysicsTest, OffsetAndScaleFailOnAMeshWhoseVerticesCannotBeWritten) {
    CMeshContainer* box = Box(2, 2, 2);
    ID3DXMesh* mesh = box->MeshData.pMesh;
    const D3DXVECTOR3 before = VertexAt(box, 0);
    for (HRESULT lockResult : {D3DERR_INVALIDCALL, S_OK}) {
        SCOPED_TRACE(lockResult == S_OK ? "a lock without a pointer" : "a refused lock");
        const HRESULT expected = lockResult == S_OK ? E_FAIL : lockResult;
        UnreadableMesh stand(mesh, lockResult);
        box->MeshData.pMesh = &stand;
        EXPECT_EQ(ScaleMesh(box, 3.0f), expected);
        EXPECT_EQ(OffsetMesh(box, 1.0f, -2.0f, 0.5f), expected);
        box->MeshData.pMesh = mesh;
        EXPECT_EQ(stand.locksHeld, 0);
        EXPECT_EQ(stand.strayUnlocks, 0);
    }
    EXPECT_EQ(VertexAt(box, 0), before);
}

TEST(PointAndSphereTests, BoundsAreStrict) {
    const D3DXVECTOR3 low(0, 0, 0), high(1, 1, 1);
    const D3DXVECTOR3 inside(0.5f, 0.5f, 0.5f), onFace(1, 0.5f, 0.5f), outside(0.5f, 2, 0.5f);
    EXPECT_TRUE(PointInBox(&inside, &low, &high));
    EXPECT_FALSE(PointInBox(&onFace, &low, &high));
    EXPECT_FALSE(PointInBox(&low, &low, &high));
    EXPECT_FALSE(PointInBox(&outside, &low, &high));

    const D3DXVECTOR3 centre(1, 1, 1);
    EXPECT_TRUE(PointInSphere(&centre, D3DXVECTOR3(1, 1.9f, 1), 1.0f));
    EXPECT_FALSE(PointInSphere(&centre, D3DXVECTOR3(1, 2, 1), 1.0f)) << "on the sphere";

    EXPECT_TRUE(SpheresTouch(&centre, 1.0f, D3DXVECTOR3(3.9f, 1, 1), 2.0f));
    EXPECT_FALSE(SpheresTouch(&centre, 1.0f, D3DXVECTOR3(4, 1, 1), 2.0f)) << "distance equals the radii";
}

TEST(RaySphereTest, OnlySpheresAheadOfAnOutsideOriginAreHit) {
    const D3DXVECTOR3 origin(0, 0, 0), forward(0, 0, 1);
    EXPECT_TRUE(RaySphere(origin, forward, D3DXVECTOR3(0.5f, 0, 5), 1.0f));
    EXPECT_FALSE(RaySphere(origin, forward, D3DXVECTOR3(0, 0, -5), 1.0f)) << "behind";
    EXPECT_FALSE(RaySphere(origin, forward, D3DXVECTOR3(0, 0, 0.5f), 1.0f)) << "origin inside";
    EXPECT_FALSE(RaySphere(origin, forward, D3DXVECTOR3(1.5f, 0, 5), 1.0f)) << "passes beside";
    EXPECT_TRUE(RaySphere(origin, forward, D3DXVECTOR3(1, 0, 5), 1.0f)) << "grazing: m^2 equals r^2";
}

TEST(IntersectTriangleTest, BothWindingsEdgesAndParallelRays) {
    const D3DXVECTOR3 a(0, 0, 5), b(2, 0, 5), c(0, 2, 5);
    const D3DXVECTOR3 origin(0.5f, 0.25f, 0), direction(0, 0, 1);
    float t = 0, u = 0, v = 0;
    ASSERT_TRUE(IntersectTriangle(&origin, &direction, &a, &b, &c, &t, &u, &v));
    EXPECT_FLOAT_EQ(t, 5.0f);
    EXPECT_FLOAT_EQ(u, 0.25f);
    EXPECT_FLOAT_EQ(v, 0.125f);
    float t2 = 0, u2 = 0, v2 = 0;
    ASSERT_TRUE(IntersectTriangle(&origin, &direction, &a, &c, &b, &t2, &u2, &v2)) << "other winding";
    EXPECT_FLOAT_EQ(t2, 5.0f);
    EXPECT_FLOAT_EQ(u2, 0.125f);
    EXPECT_FLOAT_EQ(v2, 0.25f);

    const D3DXVECTOR3 onEdge(0, 1, 0), onHypotenuse(1, 1, 0);
    EXPECT_TRUE(IntersectTriangle(&onEdge, &direction, &a, &b, &c, &t, &u, &v)) << "u = 0";
    EXPECT_FLOAT_EQ(u, 0.0f);
    EXPECT_TRUE(IntersectTriangle(&onHypotenuse, &direction, &a, &b, &c, &t, &u, &v)) << "u + v = 1";
    const D3DXVECTOR3 beside(2, 2, 0);
    EXPECT_FALSE(IntersectTriangle(&beside, &direction, &a, &b, &c, &t, &u, &v));
    const D3DXVECTOR3 sideways(1, 0, 0);
    EXPECT_FALSE(IntersectTriangle(&origin, &sideways, &a, &b, &c, &t, &u, &v)) << "parallel";
    const D3DXVECTOR3 grazing(1, 0, 0.00001f);
    EXPECT_FALSE(IntersectTriangle(&origin, &grazing, &a, &b, &c, &t, &u, &v)) << "det below 0.0001";
}

TEST_F(PhysicsTest, DistanceBelowMeasuresDownToTheTargetMeshThroughTheDeviceWorld) {
    FrameStore floor;
    FrameStore walker;
    floor.frame->AddMeshContainer(Box(10, 1, 10)); // top face at y = 0.5
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    walker.frame->collided = 1;
    EXPECT_FLOAT_EQ(walker.frame->DistanceBelow(1, 5, 1, *floor.frame), 4.5f);
    EXPECT_EQ(walker.frame->collided, 0) << "the call clears the caller's flag";

    D3DXMatrixTranslation(&world, 0, 2, 0); // the mesh stands 2 higher
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    EXPECT_FLOAT_EQ(walker.frame->DistanceBelow(1, 5, 1, *floor.frame), 2.5f);
    // The direction goes through the transposed matrix: under a scaling by 2 it doubles in length, and
    // the distance is counted in its lengths.
    D3DXMatrixScaling(&world, 2, 2, 2);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    EXPECT_FLOAT_EQ(walker.frame->DistanceBelow(0, 10, 0, *floor.frame), 2.25f);

    D3DXMatrixIdentity(&world);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(walker.frame->DistanceBelow(20, 5, 0, *floor.frame), FLT_MAX) << "nothing below";
    FrameStore bare;
    EXPECT_EQ(walker.frame->DistanceBelow(0, 5, 0, *bare.frame), FLT_MAX) << "no mesh";
}

TEST_F(PhysicsTest, DistanceAlongFollowsTheAngleInTheGroundPlane) {
    FrameStore target;
    target.frame->AddMeshContainer(Box(2, 2, 2));
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    EXPECT_NEAR(DistanceAlong(-5, 0, 0, *target.frame, 0.0f), 4.0f, 1e-5f);
    EXPECT_NEAR(DistanceAlong(0, 0, -7, *target.frame, D3DX_PI / 2), 6.0f, 1e-5f) << "+z at a quarter turn";
    EXPECT_EQ(DistanceAlong(-5, 0, 0, *target.frame, D3DX_PI), FLT_MAX) << "facing away";
}

// Two frames with unit cubes and collision objects; the second is moved by the tests.
class CollisionTest : public PhysicsTest {
protected:
    void SetUp() override {
        PhysicsTest::SetUp();
        ASSERT_EQ(a.frame->BuildCollisionObject(Box(1, 1, 1)), S_OK);
        ASSERT_EQ(b.frame->BuildCollisionObject(Box(1, 1, 1)), S_OK);
        a.frame->UpdateWorldMatrix();
    }
    void TearDown() override {
        for (CFrame* f : {a.frame, b.frame}) {
            if (f->pCollisionObject) {
                f->pCollisionObject->Release();
            }
        }
        PhysicsTest::TearDown();
    }
    // Places the second cube, clears both flags and tests; true when both flags came out set.
    bool Collide(float x, float y, float z, float yaw = 0.0f) {
        b.frame->SetPosition(x, y, z);
        b.frame->yaw = yaw;
        b.frame->UpdateWorldMatrix();
        a.frame->collided = 0;
        b.frame->collided = 0;
        a.frame->TestCollision(b.frame, 0);
        EXPECT_EQ(a.frame->collided, b.frame->collided);
        return a.frame->collided != 0;
    }

    FrameStore a;
    FrameStore b;
};

TEST_F(CollisionTest, TheMeshTrianglesGoToTheCollisionObject) {
    EXPECT_EQ(a.frame->pCollisionObject->GetTriangleCount(), 12);
}

TEST_F(CollisionTest, CubesOverlappingTouchingOrApart) {
    EXPECT_TRUE(Collide(0.5f, 0.5f, 0.0f));
    EXPECT_TRUE(Collide(1.0f, 0.0f, 0.0f)) << "sharing a face";
    EXPECT_FALSE(Collide(1.01f, 0.0f, 0.0f));
    EXPECT_FALSE(Collide(0.0f, 0.0f, -3.0f));
}

TEST_F(CollisionTest, TurnedCubesReachFurther) {
    EXPECT_FALSE(Collide(1.2f, 0.0f, 0.0f));
    EXPECT_TRUE(Collide(1.2f, 0.0f, 0.0f, D3DX_PI / 4));
    EXPECT_FALSE(Collide(1.25f, 0.0f, 0.0f, D3DX_PI / 4));
}

TEST_F(CollisionTest, ACubeInsideAnotherIsNoCollisionOfSurfaces) {
    D3DXMatrixScaling(&b.frame->local, 0.3f, 0.3f, 0.3f);
    EXPECT_FALSE(Collide(0.1f, 0.0f, 0.0f));
    EXPECT_TRUE(Collide(0.4f, 0.0f, 0.0f)) << "poking through a face";
}

TEST_F(CollisionTest, FlagsStaySetUntilDistanceBelowClearsTheCaller) {
    EXPECT_TRUE(Collide(0.5f, 0.0f, 0.0f));
    b.frame->SetPosition(5, 0, 0);
    b.frame->UpdateWorldMatrix();
    a.frame->TestCollision(b.frame, 0);
    EXPECT_EQ(a.frame->collided, 1);
    EXPECT_EQ(b.frame->collided, 1);
    a.frame->DistanceBelow(0, 0, 0, *b.frame);
    EXPECT_EQ(a.frame->collided, 0);
    EXPECT_EQ(b.frame->collided, 1);
}

// A build that fails, without a mesh or from one whose vertices or indices cannot be read, leaves a new
// object without triangles, and no lock held or undone twice.
TEST_F(CollisionTest, AFailedBuildLeavesAnEmptyObjectThatMeetsNothing) {
    CMeshContainer noMesh;
    CMeshContainer* cube = Box(1, 1, 1);
    ID3DXMesh* mesh = cube->MeshData.pMesh;
    const struct {
        const char* what;
        bool withMesh;
        UnreadableMesh::Buffer unreadable;
        HRESULT lockResult; // S_OK: a lock without a pointer, which fails the build with E_FAIL
    } kBuilds[] = {
        {"no mesh", false, UnreadableMesh::Vertices, D3DERR_INVALIDCALL},
        {"a refused vertex lock", true, UnreadableMesh::Vertices, D3DERR_INVALIDCALL},
        {"a vertex lock without a pointer", true, UnreadableMesh::Vertices, S_OK},
        {"a refused index lock", true, UnreadableMesh::Indices, D3DERR_INVALIDCALL},
        {"an index lock without a pointer", true, UnreadableMesh::Indices, S_OK},
    };
    for (const auto& build : kBuilds) {
        SCOPED_TRACE(build.what);
        UnreadableMesh stand(mesh, build.lockResult, build.unreadable);
        cube->MeshData.pMesh = &stand;
        CCollisionObject* old = b.frame->pCollisionObject;
        const HRESULT hr = b.frame->BuildCollisionObject(build.withMesh ? cube : &noMesh);
        cube->MeshData.pMesh = mesh;
        EXPECT_EQ(hr, build.lockResult == S_OK ? E_FAIL : build.lockResult);
        EXPECT_EQ(stand.locksHeld, 0);
        EXPECT_EQ(stand.strayUnlocks, 0);
        ASSERT_NE(b.frame->pCollisionObject, nullptr);
        EXPECT_NE(b.frame->pCollisionObject, old);
        old->Release(); // the frame does not release a replaced object
        EXPECT_EQ(b.frame->pCollisionObject->GetTriangleCount(), 0);
        EXPECT_FALSE(Collide(0.0f, 0.0f, 0.0f));
    }

    FrameStore without;
    a.frame->TestCollision(without.frame, 0); // no object: nothing happens
    EXPECT_EQ(a.frame->collided, 0);
}

} // namespace
