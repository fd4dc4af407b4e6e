// Mesh containers: the blend-state rule of their drawing, textures per subset, the search by name and
// what destroying a chain releases.
#include "scene_test_util.h"

#include <cmath>
#include <limits>

namespace {

constexpr D3DCOLOR kBackground = 0xFF808080;
constexpr D3DCOLOR kDark = 0xFF333333;
// 0x33 drawn with ONE / DESTCOLOR over 0x80: 0.2 + 0.502 * 0.502.
constexpr uint32_t kBlendedOneDestColour = 0x737373;
constexpr uint32_t kUnblended = 0x333333;

const ScreenQuad kLeft = {100, 100, 200, 200, kDark};
const ScreenQuad kRight = {300, 100, 400, 200, kDark};

struct BlendStates {
    DWORD enable, src, dest;
};

class MeshContainerDrawTest : public DeviceTest {
protected:
    void TearDown() override {
        delete m_container;
        m_container = nullptr;
        DeviceTest::TearDown();
    }

    void SetBlend(DWORD enable, DWORD src, DWORD dest) {
        g_pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, enable);
        g_pd3dDevice->SetRenderState(D3DRS_SRCBLEND, src);
        g_pd3dDevice->SetRenderState(D3DRS_DESTBLEND, dest);
    }
    BlendStates Blend() const {
        BlendStates b = {};
        g_pd3dDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &b.enable);
        g_pd3dDevice->GetRenderState(D3DRS_SRCBLEND, &b.src);
        g_pd3dDevice->GetRenderState(D3DRS_DESTBLEND, &b.dest);
        return b;
    }

    // Clears to grey, draws the container, and returns the pixels at the two quads' centres.
    void Draw(bool useTextures, HRESULT expected = S_OK) {
        UINT width = 0;
        const std::vector<uint32_t> pixels = DrawScene(
            kBackground, [&] { EXPECT_EQ(RenderMeshContainer(m_container, useTextures), expected); }, &width);
        ASSERT_FALSE(pixels.empty());
        m_left = PixelAt(pixels, width, 150, 150);
        m_right = PixelAt(pixels, width, 350, 150);
    }

    void Build(const std::vector<ScreenQuad>& quads, const std::vector<float>& alphas,
               bool textureSlots = false) {
        ID3DXMesh* mesh = MakeQuadMesh(g_pd3dDevice, quads);
        ASSERT_NE(mesh, nullptr);
        m_container = MakeContainer(mesh, alphas, textureSlots);
    }

    CMeshContainer* m_container = nullptr;
    uint32_t m_left = 0;
    uint32_t m_right = 0;
};

TEST_F(MeshContainerDrawTest, OpaqueMaterialsLeaveBlendingOffAndItsFactorsUntouched) {
    Build({kLeft, kRight}, {1.0f, 1.0f});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, kUnblended)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, kUnblended)) << std::hex << m_right;
    const BlendStates after = Blend();
    EXPECT_EQ(after.enable, FALSE);
    EXPECT_EQ(after.src, static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(after.dest, static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    DWORD cull = 0;
    g_pd3dDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));
}

TEST_F(MeshContainerDrawTest, OpaqueMaterialsSwitchBlendingOffForTheDrawAndRestoreIt) {
    Build({kLeft}, {1.0f});
    SetBlend(TRUE, D3DBLEND_ONE, D3DBLEND_ONE);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, kUnblended)) << std::hex << m_left;
    const BlendStates after = Blend();
    EXPECT_EQ(after.enable, static_cast<DWORD>(TRUE));
    EXPECT_EQ(after.src, static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(after.dest, static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(MeshContainerDrawTest, TranslucentMaterialBlendsOneDestColourAndRestoresTheStates) {
    // A NaN alpha is not exactly 1, so it blends too.
    for (const float alpha : {0.5f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(alpha);
        delete m_container;
        Build({kLeft}, {alpha});
        SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        Draw(true);
        EXPECT_TRUE(ColourNear(m_left, kBlendedOneDestColour)) << std::hex << m_left;
        const BlendStates after = Blend();
        EXPECT_EQ(after.enable, FALSE);
        EXPECT_EQ(after.src, static_cast<DWORD>(D3DBLEND_SRCALPHA));
        EXPECT_EQ(after.dest, static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    }
}

TEST_F(MeshContainerDrawTest, BlendingAlreadyOnKeepsTheFactorsInForce) {
    Build({kLeft}, {0.5f});
    SetBlend(TRUE, D3DBLEND_ONE, D3DBLEND_ONE);
    Draw(true);
    // Additive, as the caller set it: 0.2 + 0.502.
    EXPECT_TRUE(ColourNear(m_left, 0xB3B3B3)) << std::hex << m_left;
    const BlendStates after = Blend();
    EXPECT_EQ(after.enable, static_cast<DWORD>(TRUE));
    EXPECT_EQ(after.src, static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(after.dest, static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(MeshContainerDrawTest, TranslucentThenOpaqueLeavesTheOneDestColourFactors) {
    Build({kLeft, kRight}, {0.5f, 1.0f});
    SetBlend(FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, kBlendedOneDestColour)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, kUnblended)) << std::hex << m_right;
    const BlendStates after = Blend();
    EXPECT_EQ(after.enable, FALSE);
    EXPECT_EQ(after.src, static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(after.dest, static_cast<DWORD>(D3DBLEND_DESTCOLOR));
}

TEST_F(MeshContainerDrawTest, TexturesFollowUseTexturesAndStageZeroIsAlwaysCleared) {
    Build({{100, 100, 200, 200, 0xFFFFFFFF}, {300, 100, 400, 200, 0xFFFFFFFF}}, {1.0f, 1.0f}, true);
    IDirect3DTexture9* bound = MakeSolidTexture(g_pd3dDevice, 0xFF00FF00);
    IDirect3DTexture9* own = MakeSolidTexture(g_pd3dDevice, 0xFFFF0000);
    ASSERT_NE(bound, nullptr);
    ASSERT_NE(own, nullptr);
    m_container->ppTextures[0] = own; // the container takes this reference; slot 1 stays empty

    // Without textures every subset shows what the caller bound.
    g_pd3dDevice->SetTexture(0, bound);
    Draw(false);
    EXPECT_TRUE(ColourNear(m_left, 0x00FF00)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0x00FF00)) << std::hex << m_right;
    IDirect3DBaseTexture9* stage0 = nullptr;
    g_pd3dDevice->GetTexture(0, &stage0);
    EXPECT_EQ(stage0, nullptr);
    SafeRelease(stage0);

    // With textures each subset binds its own slot; an empty slot unbinds stage 0.
    g_pd3dDevice->SetTexture(0, bound);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, 0xFF0000)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, 0xFFFFFF)) << std::hex << m_right;
    g_pd3dDevice->GetTexture(0, &stage0);
    EXPECT_EQ(stage0, nullptr);
    SafeRelease(stage0);

    // A container without texture slots (as the effect loader makes) binds nothing of its own.
    free(m_container->ppTextures);
    m_container->ppTextures = nullptr;
    own->Release();
    g_pd3dDevice->SetTexture(0, bound);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, 0x00FF00)) << std::hex << m_left;
    bound->Release();
}

TEST_F(MeshContainerDrawTest, SkinnedCopyIsDrawnInsteadOfTheMesh) {
    Build({kLeft}, {1.0f});
    m_container->pSkinnedMesh = MakeQuadMesh(g_pd3dDevice, {kRight});
    ASSERT_NE(m_container->pSkinnedMesh, nullptr);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, kBackground & 0xFFFFFF)) << std::hex << m_left;
    EXPECT_TRUE(ColourNear(m_right, kUnblended)) << std::hex << m_right;
}

TEST_F(MeshContainerDrawTest, VertexShaderIsClearedForTheFixedFunctionDraw) {
    const char* source = "vs_2_0\ndcl_position v0\nmov oPos, v0\n";
    ID3DXBuffer* code = nullptr;
    ASSERT_EQ(
        D3DXAssembleShader(source, static_cast<UINT>(strlen(source)), nullptr, nullptr, 0, &code, nullptr),
        S_OK);
    IDirect3DVertexShader9* shader = nullptr;
    ASSERT_EQ(g_pd3dDevice->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader),
              S_OK);
    code->Release();
    Build({kLeft}, {1.0f});
    g_pd3dDevice->SetVertexShader(shader);
    Draw(true);
    EXPECT_TRUE(ColourNear(m_left, kUnblended)) << std::hex << m_left;
    IDirect3DVertexShader9* current = nullptr;
    g_pd3dDevice->GetVertexShader(&current);
    EXPECT_EQ(current, nullptr);
    SafeRelease(current);
    shader->Release();
}

TEST_F(MeshContainerDrawTest, IncompleteContainersFailWithoutTouchingTheDevice) {
    IDirect3DTexture9* bound = MakeSolidTexture(g_pd3dDevice, 0xFF00FF00);
    g_pd3dDevice->SetTexture(0, bound);
    g_pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    EXPECT_EQ(RenderMeshContainer(nullptr, true), E_FAIL);
    CMeshContainer empty;
    EXPECT_EQ(RenderMeshContainer(&empty, true), E_FAIL);
    Build({kLeft}, {0.5f});
    m_container->NumMaterials = 0;
    EXPECT_EQ(RenderMeshContainer(m_container, true), E_FAIL);
    m_container->NumMaterials = 1;
    D3DXMATERIAL* materials = m_container->pMaterials;
    m_container->pMaterials = nullptr;
    EXPECT_EQ(RenderMeshContainer(m_container, true), E_FAIL);
    m_container->pMaterials = materials;

    DWORD cull = 0;
    g_pd3dDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));
    IDirect3DBaseTexture9* stage0 = nullptr;
    g_pd3dDevice->GetTexture(0, &stage0);
    EXPECT_EQ(stage0, bound);
    SafeRelease(stage0);
    g_pd3dDevice->SetTexture(0, nullptr);
    bound->Release();
}

// Three containers chained the way a loader chains them.
CMeshContainer* MakeChain(const char* a, const char* b, const char* c) {
    const char* names[3] = {a, b, c};
    CMeshContainer* links[3];
    for (int i = 0; i < 3; ++i) {
        links[i] = new CMeshContainer();
        links[i]->Name = names[i] ? _strdup(names[i]) : nullptr;
    }
    links[0]->pNextMeshContainer = links[1];
    links[1]->pNextMeshContainer = links[2];
    return links[0];
}

TEST(MeshContainerFind, MatchesExactNamesAlongTheChain) {
    CMeshContainer* head = MakeChain("board", nullptr, "peg");
    CMeshContainer* second = static_cast<CMeshContainer*>(head->pNextMeshContainer);
    CMeshContainer* third = static_cast<CMeshContainer*>(second->pNextMeshContainer);
    EXPECT_EQ(head->Find("board"), head);
    EXPECT_EQ(head->Find("peg"), third);
    EXPECT_EQ(second->Find("peg"), third);
    EXPECT_EQ(third->Find("board"), nullptr); // the search runs forward only
    EXPECT_EQ(head->Find("Peg"), nullptr);
    EXPECT_EQ(head->Find("pe"), nullptr);
    EXPECT_EQ(head->Find(nullptr), nullptr);
    delete head;
}

TEST_F(MeshContainerDrawTest, DestroyingTheHeadReleasesTheWholeChainButNotTheFrameList) {
    IDirect3DTexture9* texture = MakeSolidTexture(g_pd3dDevice, 0xFFFFFFFF);
    ASSERT_NE(texture, nullptr);
    CMeshContainer* head = MakeChain("a", "b", nullptr);
    CMeshContainer* links[2] = {head, static_cast<CMeshContainer*>(head->pNextMeshContainer)};
    for (CMeshContainer* link : links) {
        // Two slots, the first empty: only set slots are released.
        link->NumMaterials = 2;
        link->ppTextures = static_cast<IDirect3DTexture9**>(calloc(2, sizeof(IDirect3DTexture9*)));
        texture->AddRef();
        link->ppTextures[1] = texture;
    }
    CMeshContainer inFrame;
    head->pNextInFrame = &inFrame;
    EXPECT_EQ(RefCount(texture), 3u);
    delete head;
    EXPECT_EQ(RefCount(texture), 1u);
    texture->Release();
}

} // namespace
