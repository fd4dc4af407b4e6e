// Software skinning: weighted bones move the vertices they influence and leave the others.
#include "harness.h"
#include "platform/platform.h"

namespace {

struct Vertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// Three vertices: bone 0 moves vertex 0 fully and vertex 1 by half, bone 1 the other half of vertex 1;
// vertex 2 has no bone.
class SkinningTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(D3DXCreateSkinInfoFVF(3, kFvf, 2, &skin), S_OK);
        const DWORD first[] = {0, 1};
        const float firstWeights[] = {1.0f, 0.5f};
        const DWORD second[] = {1};
        const float secondWeights[] = {0.5f};
        ASSERT_EQ(skin->SetBoneInfluence(0, 2, first, firstWeights), S_OK);
        ASSERT_EQ(skin->SetBoneInfluence(1, 1, second, secondWeights), S_OK);
        source[0] = {{0, 0, 0}, {1, 0, 0}};
        source[1] = {{1, 1, 1}, {0, 0, 1}};
        source[2] = {{5, 5, 5}, {0, 1, 0}};
        for (Vertex& v : destination) {
            v = {{9, 9, 9}, {9, 9, 9}};
        }
    }
    void TearDown() override { SafeRelease(skin); }

    ID3DXSkinInfo* skin = nullptr;
    Vertex source[3];
    Vertex destination[3];
};

TEST_F(SkinningTest, BlendsTheBonesByTheirWeights) {
    D3DXMATRIX bones[2];
    D3DXMatrixTranslation(&bones[0], 1.0f, 0.0f, 0.0f);
    D3DXMatrixTranslation(&bones[1], 0.0f, 2.0f, 0.0f);
    ASSERT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), S_OK);
    EXPECT_EQ(destination[0].position, D3DXVECTOR3(1, 0, 0));
    // Half of (2, 1, 1) and half of (1, 3, 1).
    EXPECT_EQ(destination[1].position, D3DXVECTOR3(1.5f, 2.0f, 1.0f));
    EXPECT_EQ(destination[2].position, D3DXVECTOR3(9, 9, 9)) << "a vertex without a bone is not written";
    // Translations leave normals as they were.
    EXPECT_EQ(destination[0].normal, D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(destination[1].normal, D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(destination[2].normal, D3DXVECTOR3(9, 9, 9));
}

TEST_F(SkinningTest, NormalsTurnWithTheBonesOrTheirInverseTransposes) {
    D3DXMATRIX bones[2];
    D3DXMatrixRotationZ(&bones[0], D3DX_PI / 2.0f); // x turns to y
    D3DXMatrixIdentity(&bones[1]);
    ASSERT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), S_OK);
    EXPECT_NEAR(destination[0].normal.x, 0.0f, 1e-6f);
    EXPECT_NEAR(destination[0].normal.y, 1.0f, 1e-6f);

    D3DXMATRIX normals[2];
    D3DXMatrixScaling(&normals[0], 3.0f, 3.0f, 3.0f);
    D3DXMatrixIdentity(&normals[1]);
    ASSERT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, normals, source, destination, 3), S_OK);
    EXPECT_EQ(destination[0].normal, D3DXVECTOR3(3, 0, 0)) << "normals use the inverse transposes when given";
    EXPECT_NEAR(destination[0].position.x, 0.0f, 1e-6f) << "positions still use the bones";
}

TEST_F(SkinningTest, RepeatedUpdatesDoNotAccumulate) {
    D3DXMATRIX bones[2];
    D3DXMatrixTranslation(&bones[0], 1.0f, 0.0f, 0.0f);
    D3DXMatrixTranslation(&bones[1], 1.0f, 0.0f, 0.0f);
    ASSERT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), S_OK);
    ASSERT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), S_OK);
    EXPECT_EQ(destination[1].position, D3DXVECTOR3(2, 1, 1));
}

TEST_F(SkinningTest, AnInfluenceOnAVertexBeyondTheBuffersIsRefusedWithNothingWritten) {
    const DWORD beyond[] = {0, 10000};
    const float weights[] = {1.0f, 1.0f};
    ASSERT_EQ(skin->SetBoneInfluence(0, 2, beyond, weights), S_OK);
    D3DXMATRIX bones[2];
    D3DXMatrixTranslation(&bones[0], 1.0f, 0.0f, 0.0f);
    D3DXMatrixIdentity(&bones[1]);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), D3DERR_INVALIDCALL);
    for (const Vertex& v : destination) {
        EXPECT_EQ(v.position, D3DXVECTOR3(9, 9, 9));
    }
    // The count is the buffers' own: a vertex the skin knows but they lack is refused as well.
    const DWORD last[] = {0, 2};
    ASSERT_EQ(skin->SetBoneInfluence(0, 2, last, weights), S_OK);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, destination, 3), S_OK);
}

TEST_F(SkinningTest, MissingArgumentsAreAnInvalidCall) {
    D3DXMATRIX bones[2];
    D3DXMatrixIdentity(&bones[0]);
    D3DXMatrixIdentity(&bones[1]);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(nullptr, bones, nullptr, source, destination, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(skin, nullptr, nullptr, source, destination, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(SkinInfoUpdateSkinnedMesh(skin, bones, nullptr, source, nullptr, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(destination[0].position, D3DXVECTOR3(9, 9, 9));
}

} // namespace
