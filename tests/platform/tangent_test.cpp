// Tangent and binormal computation in place on a mesh with the effect layout: directions of growing u
// and v, made square to the normal, wrapping, other elements untouched, and meshes it cannot serve, as
// the ray test cannot either.
#include "harness.h"
#include "unreadable_mesh.h"
#include "platform/platform.h"

#include <vector>

namespace {

// Position, normal, 3-float texture coordinate, tangent, binormal, colour: 64 bytes.
struct EffectVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u, v, w;
    D3DXVECTOR3 tangent;
    D3DXVECTOR3 binormal;
    D3DCOLOR colour;
};

constexpr D3DVERTEXELEMENT9 kEffectLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 36, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 48, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_BINORMAL, 0},
    {0, 60, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END(),
};

class ComputeTangentTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(m_mesh);
        DeviceTest::TearDown();
    }

    // A mesh of the given vertices and triangles; the tangent and binormal start as a marker value.
    void Build(const std::vector<EffectVertex>& vertices, const std::vector<DWORD>& indices,
               bool indices32 = false, const D3DVERTEXELEMENT9* layout = kEffectLayout) {
        const DWORD options = D3DXMESH_SYSTEMMEM | (indices32 ? D3DXMESH_32BIT : 0);
        ASSERT_EQ(D3DXCreateMesh(static_cast<DWORD>(indices.size() / 3), static_cast<DWORD>(vertices.size()),
                                 options, layout, g_pd3dDevice, &m_mesh),
                  S_OK);
        void* data = nullptr;
        m_mesh->LockVertexBuffer(0, &data);
        memcpy(data, vertices.data(), vertices.size() * sizeof(EffectVertex));
        m_mesh->UnlockVertexBuffer();
        m_mesh->LockIndexBuffer(0, &data);
        for (size_t i = 0; i < indices.size(); ++i) {
            if (indices32) {
                static_cast<DWORD*>(data)[i] = indices[i];
            } else {
                static_cast<WORD*>(data)[i] = static_cast<WORD>(indices[i]);
            }
        }
        m_mesh->UnlockIndexBuffer();
    }

    std::vector<EffectVertex> Vertices() {
        std::vector<EffectVertex> out(m_mesh->GetNumVertices());
        void* data = nullptr;
        m_mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
        memcpy(out.data(), data, out.size() * sizeof(EffectVertex));
        m_mesh->UnlockVertexBuffer();
        return out;
    }

    ID3DXMesh* m_mesh = nullptr;
};

const D3DXVECTOR3 kMarker(7, 7, 7);
const D3DXVECTOR3 kUp(0, 1, 0);

EffectVertex V(float x, float y, float z, float u, float v, const D3DXVECTOR3& normal = kUp) {
    return {D3DXVECTOR3(x, y, z), normal, u, v, 0.25f, kMarker, kMarker, 0xFF123456};
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

TEST_F(ComputeTangentTest, TangentFollowsGrowingUAndBinormalGrowingV) {
    // A floor square: u grows along +x, v along -z.
    const std::vector<EffectVertex> square = {V(0, 0, 1, 0, 0), V(1, 0, 1, 1, 0), V(1, 0, 0, 1, 1),
                                              V(0, 0, 0, 0, 1)};
    Build(square, {0, 1, 2, 0, 2, 3});
    ASSERT_EQ(ComputeTangent(m_mesh, 0, 0, 0, 1, nullptr), S_OK);
    const std::vector<EffectVertex> out = Vertices();
    for (size_t i = 0; i < out.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectNear(out[i].tangent, D3DXVECTOR3(1, 0, 0));
        ExpectNear(out[i].binormal, D3DXVECTOR3(0, 0, -1));
        // Everything else as it was.
        EXPECT_EQ(out[i].position, square[i].position);
        EXPECT_EQ(out[i].normal, square[i].normal);
        EXPECT_EQ(out[i].u, square[i].u);
        EXPECT_EQ(out[i].w, 0.25f);
        EXPECT_EQ(out[i].colour, 0xFF123456u);
    }
}

TEST_F(ComputeTangentTest, DirectionsAreUnitAndSquareToTheVertexNormal) {
    // A slope rising along x, textured with u along the slope, stretched, but normals still straight up:
    // the tangent loses its part along the normal.
    Build({V(0, 0, 0, 0, 0), V(4, 4, 0, 1, 0), V(0, 0, 3, 0, 2)}, {0, 1, 2}, true);
    ASSERT_EQ(ComputeTangent(m_mesh, 0, 0, 0, 0, nullptr), S_OK);
    for (const EffectVertex& v : Vertices()) {
        ExpectNear(v.tangent, D3DXVECTOR3(1, 0, 0));
        ExpectNear(v.binormal, D3DXVECTOR3(0, 0, 1));
    }
}

TEST_F(ComputeTangentTest, WrapTakesTheShortWayAcrossTheSeam) {
    // u goes from 0.9 to 0.1 while x grows: across the seam that is +0.2, else -0.8.
    const std::vector<EffectVertex> seam = {V(0, 0, 0, 0.9f, 0), V(1, 0, 0, 0.1f, 0),
                                            V(0, 0, -1, 0.9f, 0.5f)};
    Build(seam, {0, 1, 2});
    ASSERT_EQ(ComputeTangent(m_mesh, 0, 0, 0, 1, nullptr), S_OK);
    ExpectNear(Vertices()[0].tangent, D3DXVECTOR3(1, 0, 0));
    SafeRelease(m_mesh);
    Build(seam, {0, 1, 2});
    ASSERT_EQ(ComputeTangent(m_mesh, 0, 0, 0, 0, nullptr), S_OK);
    ExpectNear(Vertices()[0].tangent, D3DXVECTOR3(-1, 0, 0));
}

TEST_F(ComputeTangentTest, NoBinormalIsWrittenWhenNoneIsAskedFor) {
    Build({V(0, 0, 0, 0, 0), V(1, 0, 0, 1, 0), V(0, 0, -1, 0, 1)}, {0, 1, 2});
    ASSERT_EQ(ComputeTangent(m_mesh, 0, 0, D3DX_DEFAULT, 1, nullptr), S_OK);
    const EffectVertex v = Vertices()[0];
    ExpectNear(v.tangent, D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(v.binormal, kMarker);
}

TEST_F(ComputeTangentTest, MeshWithoutTheTangentElementIsRefusedUntouched) {
    D3DVERTEXELEMENT9 noTangent[7];
    memcpy(noTangent, kEffectLayout, sizeof(noTangent));
    noTangent[3].Usage = D3DDECLUSAGE_TEXCOORD;
    noTangent[3].UsageIndex = 1;
    const std::vector<EffectVertex> triangle = {V(0, 0, 0, 0, 0), V(1, 0, 0, 1, 0), V(0, 0, -1, 0, 1)};
    Build(triangle, {0, 1, 2}, false, noTangent);
    EXPECT_EQ(ComputeTangent(m_mesh, 0, 0, 0, 1, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(Vertices()[1].binormal, kMarker);
    EXPECT_EQ(ComputeTangent(nullptr, 0, 0, 0, 1, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(ComputeTangentTest, AMeshWhoseBufferCannotBeReadFailsTheStandInsWithNoLockLeft) {
    Build({V(0, 0, 0, 0, 0), V(1, 0, 0, 1, 0), V(0, 0, -1, 0, 1)}, {0, 1, 2});
    const struct {
        const char* what;
        UnreadableMesh::Buffer unreadable;
        HRESULT lockResult; // S_OK: a lock that succeeds without a pointer
    } kLocks[] = {
        {"a refused vertex lock", UnreadableMesh::Vertices, D3DERR_INVALIDCALL},
        {"a vertex lock without a pointer", UnreadableMesh::Vertices, S_OK},
        {"a refused index lock", UnreadableMesh::Indices, D3DERR_INVALIDCALL},
        {"an index lock without a pointer", UnreadableMesh::Indices, S_OK},
    };
    for (const auto& lock : kLocks) {
        SCOPED_TRACE(lock.what);
        UnreadableMesh stand(m_mesh, lock.lockResult, lock.unreadable);
        EXPECT_EQ(ComputeTangent(&stand, 0, 0, 0, 1, nullptr), D3DERR_INVALIDCALL);
        const D3DXVECTOR3 origin(0.2f, 1, -0.2f);
        const D3DXVECTOR3 down(0, -1, 0);
        BOOL hit = 2;
        DWORD hits = 99;
        EXPECT_EQ(Intersect(&stand, &origin, &down, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, &hits),
                  lock.lockResult == S_OK ? E_FAIL : lock.lockResult);
        EXPECT_EQ(hit, 2);
        EXPECT_EQ(hits, 99u);
        EXPECT_EQ(stand.locksHeld, 0);
        EXPECT_EQ(stand.strayUnlocks, 0);
    }
    for (const EffectVertex& v : Vertices()) {
        EXPECT_EQ(v.tangent, kMarker);
    }
}

} // namespace
