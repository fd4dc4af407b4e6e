// Drawing containers material by material and range by range through a vertex shader, chains of
// containers, and the skinning update of a container's working copy.
#include "scene_test_util.h"
#include "unreadable_mesh.h"

#include <cstdlib>

namespace {

constexpr D3DCOLOR kBackground = 0xFF808080;
const ScreenQuad kLeft = {100, 100, 200, 200, 0xFFFFFFFF};
const ScreenQuad kRight = {300, 100, 400, 200, 0xFFFFFFFF};

// Assembled at run time: positions are already in clip space, colour and texture pass through.
const char kPassThroughShader[] = "vs_2_0\n"
                                  "dcl_position v0\n"
                                  "dcl_color v1\n"
                                  "dcl_texcoord v2\n"
                                  "mov oPos, v0\n"
                                  "mov oD0, v1\n"
                                  "mov oT0.xy, v2\n";

// Quads in clip space for the shader (x, y from -1 to 1, y up): subset i = quad i.
ID3DXMesh* MakeClipQuadMesh(IDirect3DDevice9* device, const std::vector<ScreenQuad>& quads) {
    struct Vertex {
        float x, y, z;
        D3DCOLOR colour;
        float u, v;
    };
    return BuildQuadMesh<Vertex>(device, quads, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                                 [](float x, float y, D3DCOLOR colour, float u, float v) {
                                     return Vertex{x / 512.0f - 1.0f, 1.0f - y / 384.0f, 0.5f, colour, u, v};
                                 });
}

class MeshDrawTest : public DeviceTest {
protected:
    void TearDown() override {
        delete m_container;
        m_container = nullptr;
        SafeRelease(m_shader);
        SafeRelease(m_declaration);
        for (IDirect3DTexture9* t : m_textures) {
            t->Release();
        }
        DeviceTest::TearDown();
    }

    // A container whose materials have the given alphas and textures of the given colours.
    void Build(ID3DXMesh* mesh, const std::vector<float>& alphas, const std::vector<D3DCOLOR>& colours) {
        ASSERT_NE(mesh, nullptr);
        m_container = MakeContainer(mesh, alphas, true);
        for (size_t i = 0; i < colours.size(); ++i) {
            IDirect3DTexture9* t = MakeSolidTexture(g_pd3dDevice, colours[i]);
            m_textures.push_back(t);
            m_container->ppTextures[i] = t;
            t->AddRef();
        }
    }
    void MakeShader() {
        ID3DXBuffer* code = nullptr;
        ASSERT_EQ(D3DXAssembleShader(kPassThroughShader, sizeof(kPassThroughShader) - 1, nullptr, nullptr, 0,
                                     &code, nullptr),
                  S_OK);
        ASSERT_EQ(
            g_pd3dDevice->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), &m_shader),
            S_OK);
        code->Release();
        D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
        D3DXDeclaratorFromFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, elements);
        ASSERT_EQ(g_pd3dDevice->CreateVertexDeclaration(elements, &m_declaration), S_OK);
    }
    template <typename DrawCall> void Draw(DrawCall draw) {
        UINT width = 0;
        const std::vector<uint32_t> pixels = DrawScene(kBackground, draw, &width);
        ASSERT_FALSE(pixels.empty());
        m_left = PixelAt(pixels, width, 150, 150);
        m_right = PixelAt(pixels, width, 350, 150);
    }
    void SetBlend(DWORD enable, DWORD src, DWORD dest) {
        g_pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, enable);
        g_pd3dDevice->SetRenderState(D3DRS_SRCBLEND, src);
        g_pd3dDevice->SetRenderState(D3DRS_DESTBLEND, dest);
    }
    void ExpectBlend(DWORD enable, DWORD src, DWORD dest) {
        DWORD value = 0;
        g_pd3dDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
        EXPECT_EQ(value, enable);
        g_pd3dDevice->GetRenderState(D3DRS_SRCBLEND, &value);
        EXPECT_EQ(value, src);
        g_pd3dDevice->GetRenderState(D3DRS_DESTBLEND, &value);
        EXPECT_EQ(value, dest);
    }
    IDirect3DBaseTexture9* BoundTexture() {
        IDirect3DBaseTexture9* texture = nullptr;
        g_pd3dDevice->GetTexture(0, &texture);
        if (texture) {
            texture->Release(); // the test's own reference keeps it alive
        }
        return texture;
    }

    CMeshContainer* m_container = nullptr;
    std::vector<IDirect3DTexture9*> m_textures;
    IDirect3DVertexShader9* m_shader = nullptr;
    IDirect3DVertexDeclaration9* m_declaration = nullptr;
    uint32_t m_left = 0;
    uint32_t m_right = 0;
};

TEST_F(MeshDrawTest, DrawsEveryMaterialWithItsTextureAndLeavesTheLastBound) {
    Build(MakeQuadMesh(g_pd3dDevice, {kLeft, kRight}), {1.0f, 1.0f}, {0xFFFF0000, 0xFF0000FF});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    Draw([this] { EXPECT_EQ(DrawMeshContainer(m_container), S_OK); });
    EXPECT_TRUE(ColourNear(m_left, 0xFF0000)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x0000FF)) << std::hex << m_right;
    EXPECT_EQ(BoundTexture(), m_textures[1]);
    ExpectBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    DWORD cull = 0;
    g_pd3dDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW)) << "culling is not turned off";
}

TEST_F(MeshDrawTest, TranslucentThenOpaqueLeavesTheBlendFactorsSet) {
    Build(MakeQuadMesh(g_pd3dDevice, {kLeft, kRight}), {0.5f, 1.0f}, {0xFF333333, 0xFF333333});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw([this] { DrawMeshContainer(m_container); });
    EXPECT_TRUE(ColourNear(m_left, 0x737373)) << "ONE / DESTCOLOR over grey: " << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x333333)) << std::hex << m_right;
    ExpectBlend(FALSE, D3DBLEND_ONE, D3DBLEND_DESTCOLOR);

    // Translucent only: the switch ends on, so the three states are put back.
    delete m_container;
    m_container = nullptr;
    Build(MakeQuadMesh(g_pd3dDevice, {kLeft}), {0.5f}, {0xFF333333});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw([this] { DrawMeshContainer(m_container); });
    ExpectBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
}

TEST_F(MeshDrawTest, TheSkinnedCopyIsDrawnInsteadOfTheMesh) {
    Build(MakeQuadMesh(g_pd3dDevice, {kLeft}), {1.0f}, {0xFF00FF00});
    m_container->pSkinnedMesh = MakeQuadMesh(g_pd3dDevice, {{300, 100, 400, 200, 0xFFFFFFFF}});
    Draw([this] { DrawMeshContainer(m_container); });
    EXPECT_TRUE(ColourNear(m_left, 0x808080)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x00FF00)) << std::hex << m_right;
}

TEST_F(MeshDrawTest, AMissingTextureArrayUnbindsTheStage) {
    ID3DXMesh* mesh = MakeQuadMesh(g_pd3dDevice, {kLeft});
    ASSERT_NE(mesh, nullptr);
    m_container = MakeContainer(mesh, {1.0f}, false);
    m_textures.push_back(MakeSolidTexture(g_pd3dDevice, 0xFFFF0000));
    g_pd3dDevice->SetTexture(0, m_textures[0]);
    Draw([this] { EXPECT_EQ(DrawMeshContainer(m_container), S_OK); });
    EXPECT_TRUE(ColourNear(m_left, 0xFFFFFF)) << "drawn untextured: " << std::hex << m_left;
    EXPECT_EQ(BoundTexture(), nullptr);
}

TEST_F(MeshDrawTest, TheShaderDrawsEachRangeWithItsTexture) {
    MakeShader();
    Build(MakeClipQuadMesh(g_pd3dDevice, {kLeft, kRight}), {1.0f, 1.0f}, {0xFFFF0000, 0xFF0000FF});
    Draw([this] { EXPECT_EQ(DrawMeshContainerShader(m_container, m_shader, m_declaration), S_OK); });
    EXPECT_TRUE(ColourNear(m_left, 0xFF0000)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x0000FF)) << std::hex << m_right;
    EXPECT_EQ(BoundTexture(), m_textures[1]);

    IDirect3DVertexShader9* shader = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;
    g_pd3dDevice->GetVertexShader(&shader);
    g_pd3dDevice->GetVertexDeclaration(&declaration);
    g_pd3dDevice->GetIndices(&indices);
    g_pd3dDevice->GetStreamSource(0, &stream, &offset, &stride);
    EXPECT_EQ(shader, nullptr);
    EXPECT_EQ(declaration, nullptr);
    EXPECT_EQ(indices, nullptr);
    EXPECT_EQ(stream, nullptr);
}

TEST_F(MeshDrawTest, AShaderLoadedFromAFileDrawsTheRanges) {
    const char* file = "pass_through.vsh";
    WriteFileBytes(file, kPassThroughShader);
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    D3DXDeclaratorFromFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, elements);
    ASSERT_EQ(LoadVertexShader(&m_shader, g_pd3dDevice, file, elements, &m_declaration), S_OK);
    RemovePath(file);
    ASSERT_NE(m_shader, nullptr);
    ASSERT_NE(m_declaration, nullptr);
    Build(MakeClipQuadMesh(g_pd3dDevice, {kLeft, kRight}), {1.0f, 0.5f}, {0xFF00FF00, 0xFF333333});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw([this] { EXPECT_EQ(DrawMeshContainerShader(m_container, m_shader, m_declaration), S_OK); });
    EXPECT_TRUE(ColourNear(m_left, 0x00FF00)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x737373)) << "the translucent range blends: " << std::hex << m_right;
    ExpectBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
}

TEST_F(MeshDrawTest, TheShaderUsesTheMeshNotTheSkinnedCopy) {
    MakeShader();
    Build(MakeClipQuadMesh(g_pd3dDevice, {kLeft}), {1.0f}, {0xFF00FF00});
    m_container->pSkinnedMesh = MakeClipQuadMesh(g_pd3dDevice, {kRight});
    Draw([this] { DrawMeshContainerShader(m_container, m_shader, m_declaration); });
    EXPECT_TRUE(ColourNear(m_left, 0x00FF00)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x808080)) << std::hex << m_right;
}

TEST_F(MeshDrawTest, ARangeWithoutFacesBindsNothingAndBlendsNothing) {
    MakeShader();
    ID3DXMesh* mesh = MakeClipQuadMesh(g_pd3dDevice, {kLeft});
    ASSERT_NE(mesh, nullptr);
    // A second, empty range whose material is translucent.
    const D3DXATTRIBUTERANGE ranges[2] = {{0, 0, 2, 0, 4}, {1, 2, 0, 0, 0}};
    mesh->SetAttributeTable(ranges, 2);
    Build(mesh, {1.0f, 0.5f}, {0xFFFF0000, 0xFF0000FF});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw([this] { DrawMeshContainerShader(m_container, m_shader, m_declaration); });
    EXPECT_TRUE(ColourNear(m_left, 0xFF0000)) << std::hex << m_left;
    EXPECT_EQ(BoundTexture(), m_textures[0]);
    ExpectBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
}

TEST_F(MeshDrawTest, TheShaderDrawRefusesAMissingShaderOrDeclarationBeforeTouchingTheDevice) {
    MakeShader();
    Build(MakeClipQuadMesh(g_pd3dDevice, {kLeft}), {1.0f}, {0xFFFF0000});
    g_pd3dDevice->SetTexture(0, m_textures[0]);
    g_pd3dDevice->SetVertexShader(m_shader);
    EXPECT_EQ(DrawMeshContainerShader(m_container, nullptr, m_declaration), E_FAIL);
    EXPECT_EQ(DrawMeshContainerShader(m_container, m_shader, nullptr), E_FAIL);
    EXPECT_EQ(DrawMeshContainerShader(nullptr, m_shader, m_declaration), E_FAIL);
    EXPECT_EQ(DrawMeshContainer(nullptr), E_FAIL);
    IDirect3DVertexShader9* shader = nullptr;
    g_pd3dDevice->GetVertexShader(&shader);
    EXPECT_EQ(shader, m_shader);
    SafeRelease(shader);
    EXPECT_EQ(BoundTexture(), m_textures[0]);
    g_pd3dDevice->SetVertexShader(nullptr);
}

TEST_F(MeshDrawTest, AChainStopsAtItsFirstFailure) {
    Build(MakeQuadMesh(g_pd3dDevice, {kLeft}), {1.0f}, {0xFFFF0000});
    CMeshContainer* broken = new CMeshContainer(); // no mesh
    m_container->pNextMeshContainer = broken;
    CMeshContainer* third = MakeContainer(MakeQuadMesh(g_pd3dDevice, {kRight}), {1.0f}, false);
    broken->pNextMeshContainer = third;
    Draw([this] { EXPECT_EQ(DrawMeshContainerList(m_container), E_FAIL); });
    EXPECT_TRUE(ColourNear(m_left, 0xFF0000)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x808080)) << "the third is not drawn: " << std::hex << m_right;

    broken->pNextMeshContainer = nullptr;
    delete third;
    MakeShader();
    EXPECT_EQ(DrawMeshContainerListShader(m_container, m_shader, m_declaration), E_FAIL);
    EXPECT_EQ(DrawMeshContainerList(nullptr), S_OK);
    EXPECT_EQ(DrawMeshContainerListShader(nullptr, m_shader, m_declaration), S_OK);
}

// A container skinned by hand: three vertices, two bones.
class SkinUpdateTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ID3DXMesh* mesh = nullptr;
        ASSERT_EQ(D3DXCreateMeshFVF(1, 3, D3DXMESH_SYSTEMMEM, D3DFVF_XYZ, g_pd3dDevice, &mesh), S_OK);
        D3DXVECTOR3* v = nullptr;
        mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
        v[0] = {0, 0, 0};
        v[1] = {1, 0, 0};
        v[2] = {0, 1, 0};
        mesh->UnlockVertexBuffer();
        container = new CMeshContainer();
        container->MeshData.pMesh = mesh;
        ASSERT_EQ(mesh->CloneMeshFVF(0, mesh->GetFVF(), g_pd3dDevice, &container->pSkinnedMesh), S_OK);
        ASSERT_EQ(D3DXCreateSkinInfoFVF(3, D3DFVF_XYZ, 2, &container->pSkinInfo), S_OK);
        const DWORD first[] = {0, 1};
        const float firstWeights[] = {1.0f, 0.5f};
        const DWORD second[] = {1, 2};
        const float secondWeights[] = {0.5f, 1.0f};
        container->pSkinInfo->SetBoneInfluence(0, 2, first, firstWeights);
        container->pSkinInfo->SetBoneInfluence(1, 2, second, secondWeights);
        D3DXMATRIX offset;
        D3DXMatrixTranslation(&offset, 0, 1, 0);
        container->pSkinInfo->SetBoneOffsetMatrix(0, &offset);
        D3DXMatrixTranslation(&offset, 5, 0, 0);
        container->pSkinInfo->SetBoneOffsetMatrix(1, &offset);
        // The container frees these with free().
        container->ppBoneMatrixPtrs = static_cast<D3DXMATRIX**>(calloc(2, sizeof(D3DXMATRIX*)));
        container->pBoneMatrices = static_cast<D3DXMATRIX*>(calloc(2, sizeof(D3DXMATRIX)));
    }
    void TearDown() override {
        delete container;
        DeviceTest::TearDown();
    }
    D3DXVECTOR3 Skinned(int i) {
        D3DXVECTOR3* v = nullptr;
        container->pSkinnedMesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
        const D3DXVECTOR3 p = v[i];
        container->pSkinnedMesh->UnlockVertexBuffer();
        return p;
    }

    CMeshContainer* container = nullptr;
};

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST_F(SkinUpdateTest, BonesTakeTheirOffsetThenTheirFrameAndBlend) {
    D3DXMATRIX frame;
    D3DXMatrixRotationZ(&frame, D3DX_PI / 2); // applied after the offset: (x, y) turns to (-y, x)
    container->ppBoneMatrixPtrs[0] = &frame;
    ASSERT_EQ(UpdateSkinnedMesh(container), S_OK);
    // Bone 0: up by 1, then turned; bone 1 has no frame and keeps its offset (5 along x).
    ExpectNear(Skinned(0), {-1, 0, 0});
    ExpectNear(Skinned(1), 0.5f * D3DXVECTOR3(-1, 1, 0) + 0.5f * D3DXVECTOR3(6, 0, 0));
    ExpectNear(Skinned(2), {5, 1, 0});
    D3DXMATRIX expected;
    D3DXMatrixTranslation(&expected, 5, 0, 0);
    EXPECT_EQ(container->pBoneMatrices[1], expected);

    // Moving the frame and updating again follows it.
    D3DXMatrixTranslation(&frame, 0, 0, 2);
    ASSERT_EQ(UpdateSkinnedMesh(container), S_OK);
    ExpectNear(Skinned(0), {0, 1, 2});
}

TEST_F(SkinUpdateTest, ACopyWhoseVerticesCannotBeWrittenFailsTheUpdate) {
    ID3DXMesh* copy = container->pSkinnedMesh;
    for (HRESULT lockResult : {D3DERR_INVALIDCALL, S_OK}) {
        SCOPED_TRACE(lockResult == S_OK ? "a lock without a pointer" : "a refused lock");
        UnreadableMesh stand(copy, lockResult);
        container->pSkinnedMesh = &stand;
        EXPECT_TRUE(FAILED(UpdateSkinnedMesh(container)));
        container->pSkinnedMesh = copy;
        EXPECT_EQ(stand.locksHeld, 0);
        EXPECT_EQ(stand.strayUnlocks, 0);
    }
    ASSERT_EQ(UpdateSkinnedMesh(container), S_OK) << "through the copy's own lock";
}

TEST_F(SkinUpdateTest, MissingPartsFail) {
    CMeshContainer empty;
    EXPECT_EQ(UpdateSkinnedMesh(nullptr), E_FAIL);
    EXPECT_EQ(UpdateSkinnedMesh(&empty), E_FAIL);
    D3DXMATRIX* matrices = container->pBoneMatrices;
    container->pBoneMatrices = nullptr;
    EXPECT_EQ(UpdateSkinnedMesh(container), E_FAIL);
    container->pBoneMatrices = matrices;
    ExpectNear(Skinned(2), {0, 1, 0});
}

} // namespace
