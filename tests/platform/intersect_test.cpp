// Ray against mesh: the closest hit, all hits, conventions shared with D3DXIntersectTri.
#include "harness.h"
#include "platform/platform.h"

namespace {

// Two squares facing the z axis, at z = 3 (faces 0 and 1) and z = 1 (faces 2 and 3), from -1 to 1.
class IntersectTest : public DeviceTest {
protected:
    ID3DXMesh* MakeMesh(DWORD options) {
        ID3DXMesh* mesh = nullptr;
        if (FAILED(D3DXCreateMeshFVF(4, 8, options | D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                     g_pd3dDevice, &mesh))) {
            return nullptr;
        }
        struct Vertex {
            D3DXVECTOR3 position;
            D3DCOLOR colour;
        };
        Vertex* v = nullptr;
        mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
        for (int square = 0; square < 2; ++square) {
            const float z = square == 0 ? 3.0f : 1.0f;
            v[4 * square + 0] = {{-1, -1, z}, 0};
            v[4 * square + 1] = {{1, -1, z}, 0};
            v[4 * square + 2] = {{1, 1, z}, 0};
            v[4 * square + 3] = {{-1, 1, z}, 0};
        }
        mesh->UnlockVertexBuffer();
        const DWORD faces[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
        void* indices = nullptr;
        mesh->LockIndexBuffer(0, &indices);
        for (int i = 0; i < 12; ++i) {
            if (options & D3DXMESH_32BIT) {
                static_cast<DWORD*>(indices)[i] = faces[i];
            } else {
                static_cast<WORD*>(indices)[i] = static_cast<WORD>(faces[i]);
            }
        }
        mesh->UnlockIndexBuffer();
        return mesh;
    }

    struct Result {
        HRESULT hr;
        BOOL hit;
        DWORD face;
        float u, v, distance;
        DWORD count;
        std::vector<D3DXINTERSECTINFO> all;
    };

    static Result Cast(ID3DXMesh* mesh, D3DXVECTOR3 origin, D3DXVECTOR3 direction) {
        Result r = {E_FAIL, 2, 99, -1.0f, -1.0f, -1.0f, 99, {}};
        ID3DXBuffer* all = nullptr;
        r.hr = Intersect(mesh, &origin, &direction, &r.hit, &r.face, &r.u, &r.v, &r.distance, &all, &r.count);
        if (all) {
            const D3DXINTERSECTINFO* info = static_cast<const D3DXINTERSECTINFO*>(all->GetBufferPointer());
            r.all.assign(info, info + all->GetBufferSize() / sizeof(D3DXINTERSECTINFO));
            all->Release();
        }
        return r;
    }
};

TEST_F(IntersectTest, ReportsTheClosestOfAllHits) {
    for (const DWORD options : {DWORD(0), DWORD(D3DXMESH_32BIT)}) {
        ID3DXMesh* mesh = MakeMesh(options);
        ASSERT_NE(mesh, nullptr);
        const Result r = Cast(mesh, {0.5f, -0.25f, 0.0f}, {0, 0, 1});
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_TRUE(r.hit);
        EXPECT_EQ(r.face, 2u) << "the near square's first face";
        EXPECT_FLOAT_EQ(r.distance, 1.0f);
        ASSERT_EQ(r.count, 2u);
        ASSERT_EQ(r.all.size(), 2u);
        EXPECT_EQ(r.all[0].FaceIndex, 0u);
        EXPECT_FLOAT_EQ(r.all[0].Dist, 3.0f);
        EXPECT_EQ(r.all[1].FaceIndex, 2u);
        EXPECT_FLOAT_EQ(r.all[1].Dist, 1.0f);
        mesh->Release();
    }
}

TEST_F(IntersectTest, BarycentricCoordinatesAndDistanceFollowD3DXIntersectTri) {
    ID3DXMesh* mesh = MakeMesh(0);
    ASSERT_NE(mesh, nullptr);
    const D3DXVECTOR3 origin(0.5f, -0.25f, 0.0f);
    const D3DXVECTOR3 direction(0, 0, 2); // twice unit length: the distance halves
    const Result r = Cast(mesh, origin, direction);
    ASSERT_TRUE(r.hit);
    EXPECT_FLOAT_EQ(r.distance, 0.5f);
    // Face 2 is (-1,-1,1), (1,-1,1), (1,1,1): the hit (0.5, -0.25) is p0 + u (p1 - p0) + v (p2 - p0).
    const D3DXVECTOR3 p0(-1, -1, 1), p1(1, -1, 1), p2(1, 1, 1);
    const D3DXVECTOR3 point = p0 + r.u * (p1 - p0) + r.v * (p2 - p0);
    EXPECT_NEAR(point.x, 0.5f, 1e-6f);
    EXPECT_NEAR(point.y, -0.25f, 1e-6f);
    float u = 0.0f, v = 0.0f, distance = 0.0f;
    ASSERT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &origin, &direction, &u, &v, &distance));
    EXPECT_NEAR(r.u, u, 1e-6f);
    EXPECT_NEAR(r.v, v, 1e-6f);
    EXPECT_NEAR(r.distance, distance, 1e-6f);
    mesh->Release();
}

TEST_F(IntersectTest, HitsOnlyAheadOfTheOriginAndFromEitherSide) {
    ID3DXMesh* mesh = MakeMesh(0);
    ASSERT_NE(mesh, nullptr);
    Result r = Cast(mesh, {0.5f, -0.25f, 2.0f}, {0, 0, 1});
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.count, 1u);
    EXPECT_FLOAT_EQ(r.distance, 1.0f);

    r = Cast(mesh, {0.5f, -0.25f, 5.0f}, {0, 0, -1}); // from the back of both squares
    EXPECT_TRUE(r.hit);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(r.face, 0u);
    EXPECT_FLOAT_EQ(r.distance, 2.0f);

    r = Cast(mesh, {0.5f, -0.25f, 5.0f}, {0, 0, 1});
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_FALSE(r.hit);
    EXPECT_EQ(r.count, 0u);
    EXPECT_TRUE(r.all.empty());
    EXPECT_EQ(r.face, 99u) << "a miss leaves the face index alone";
    EXPECT_FLOAT_EQ(r.distance, -1.0f) << "and the distance";

    r = Cast(mesh, {1.5f, 0.0f, 0.0f}, {0, 0, 1}); // beside the squares
    EXPECT_FALSE(r.hit);
    r = Cast(mesh, {0.0f, 0.0f, 0.0f}, {1, 0, 0}); // parallel to them
    EXPECT_FALSE(r.hit);
    mesh->Release();
}

TEST_F(IntersectTest, ARayOnAnEdgeHits) {
    ID3DXMesh* mesh = MakeMesh(0);
    ASSERT_NE(mesh, nullptr);
    const Result r = Cast(mesh, {1.0f, 0.0f, 0.0f}, {0, 0, 1}); // the squares' right edge
    EXPECT_TRUE(r.hit);
    EXPECT_FLOAT_EQ(r.distance, 1.0f);
    mesh->Release();
}

TEST_F(IntersectTest, MissingArgumentsAreAnInvalidCall) {
    ID3DXMesh* mesh = MakeMesh(0);
    ASSERT_NE(mesh, nullptr);
    const D3DXVECTOR3 origin(0, 0, 0), direction(0, 0, 1);
    BOOL hit = FALSE;
    EXPECT_EQ(
        Intersect(nullptr, &origin, &direction, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(
        Intersect(mesh, nullptr, &direction, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        D3DERR_INVALIDCALL);
    // Only the hit flag asked for.
    EXPECT_EQ(
        Intersect(mesh, &origin, &direction, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_TRUE(hit);
    mesh->Release();
}

} // namespace
