// The effect wrapper's per-frame half: the 18 matrices and the time as the effect reads them back,
// and drawing the mesh once per pass, with pixels read back.
#include "effect_fixture.h"

#include <cmath>

namespace {

class EffectFrameTest : public EffectTest {
protected:
    D3DXMATRIX Read(const char* semantic) const {
        D3DXMATRIX m = {};
        const int entry = EffectSemanticIndex(semantic);
        if (entry < 0) {
            ADD_FAILURE() << semantic << " is not in the table";
            return m;
        }
        EXPECT_EQ(m_effect->pEffect->GetMatrix(m_effect->hParams[entry], &m), S_OK) << semantic;
        return m;
    }
    static void SetTransforms(const D3DXMATRIX& world, const D3DXMATRIX& view, const D3DXMATRIX& projection) {
        g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
        g_pd3dDevice->SetTransform(D3DTS_VIEW, &view);
        g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &projection);
    }
    // Clears to black, draws with the wrapper inside a scene and returns the back buffer.
    std::vector<uint32_t> DrawFrame(HRESULT* result, UINT* width) {
        return DrawScene(
            0xFF000000, [&] { *result = m_effect->Render(); }, width);
    }
};

constexpr int kTimeEntry = EffectSemanticIndex("Time");

// Element by element within a small tolerance: inverses are formed in single precision, and a zero may
// come out negative.
::testing::AssertionResult Near(const D3DXMATRIX& actual, const D3DXMATRIX& expected) {
    for (int i = 0; i < 16; ++i) {
        if (std::fabs(actual[i] - expected[i]) > 1e-5f) {
            return ::testing::AssertionFailure()
                   << "element " << i << " is " << actual[i] << ", not " << expected[i];
        }
    }
    return ::testing::AssertionSuccess();
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

TEST_F(EffectFrameTest, IdentityTransformsGiveEighteenIdentities) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    m_effect->SetMatrices();
    int matrices = 0;
    for (const EffectSemantic& semantic : kEffectSemanticTable) {
        if (semantic.kind == EffectSemanticKind::Matrix) {
            EXPECT_TRUE(Near(Read(semantic.name), Identity())) << semantic.name;
            ++matrices;
        }
    }
    EXPECT_EQ(matrices, 18);
}

TEST_F(EffectFrameTest, TranslationInverseStandsInTheFourthRowAndItsTransposeInTheFourthColumn) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1.0f, -2.0f, 3.0f);
    SetTransforms(world, Identity(), Identity());
    m_effect->SetMatrices();
    EXPECT_EQ(Read("World"), world);
    const D3DXMATRIX inverse = Read("WorldInverse");
    EXPECT_EQ(D3DXVECTOR4(inverse._41, inverse._42, inverse._43, inverse._44), D3DXVECTOR4(-1, 2, -3, 1));
    const D3DXMATRIX transpose = Read("WorldInverseTranspose");
    EXPECT_EQ(D3DXVECTOR4(transpose._14, transpose._24, transpose._34, transpose._44),
              D3DXVECTOR4(-1, 2, -3, 1));
    EXPECT_EQ(transpose._41, 0.0f);
    EXPECT_TRUE(Near(m_effect->matWorldInverseTranspose, transpose));
}

TEST_F(EffectFrameTest, WorldScaleCarriesIntoWorldViewProjectionAndItsInverse) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, 2.0f, 2.0f, 2.0f);
    SetTransforms(world, Identity(), Identity());
    m_effect->SetMatrices();
    D3DXMATRIX half;
    D3DXMatrixScaling(&half, 0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(Near(Read("WorldViewProjection"), world));
    EXPECT_TRUE(Near(Read("WorldViewProjectionInverse"), half));
    EXPECT_TRUE(Near(Read("WorldViewProjectionInverseTranspose"), half));
}

TEST_F(EffectFrameTest, ViewProjectionIsViewThenProjection) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    D3DXMATRIX view, projection;
    D3DXMatrixTranslation(&view, 1.0f, 0.0f, 0.0f);
    D3DXMatrixScaling(&projection, 3.0f, 3.0f, 1.0f);
    SetTransforms(Identity(), view, projection);
    m_effect->SetMatrices();
    // The translation is scaled too.
    EXPECT_EQ(Read("ViewProjection")._41, 3.0f);
    EXPECT_EQ(Read("WorldViewProjection")._41, 3.0f);
    EXPECT_EQ(Read("WorldView"), view);
    EXPECT_EQ(Read("Projection"), projection);
}

TEST_F(EffectFrameTest, TimeIsTheSystemsRunningTimeInSeconds) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    const float before = static_cast<float>(GetTickCount()) * 0.001f;
    m_effect->SetMatrices();
    const float after = static_cast<float>(GetTickCount()) * 0.001f;
    EXPECT_GE(m_effect->fTime, before);
    EXPECT_LE(m_effect->fTime, after);
    float time = 0.0f;
    ASSERT_EQ(m_effect->pEffect->GetFloat(m_effect->hParams[kTimeEntry], &time), S_OK);
    EXPECT_EQ(time, m_effect->fTime);
}

TEST_F(EffectFrameTest, MeshIsDrawnInEveryPassOfATwoPassTechnique) {
    ASSERT_EQ(Load("duepassi.fxo"), S_OK);
    HRESULT result = E_FAIL;
    UINT width = 0;
    const std::vector<uint32_t> pixels = DrawFrame(&result, &width);
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(m_effect->uNumPasses, 2u);
    EXPECT_EQ(m_effect->uPass, 2u);
    ASSERT_FALSE(pixels.empty());
    // Red from the first pass, blue added by the second; outside the square nothing is drawn.
    EXPECT_EQ(PixelAt(pixels, width, 512, 384), 0x8000C0u);
    EXPECT_EQ(PixelAt(pixels, width, 300, 250), 0x8000C0u);
    EXPECT_EQ(PixelAt(pixels, width, 100, 100), 0x000000u);
}

TEST_F(EffectFrameTest, TechniqueWithoutPassesDrawsNothing) {
    ASSERT_EQ(Load("senzapassi.fxo"), S_OK);
    HRESULT result = E_FAIL;
    UINT width = 0;
    const std::vector<uint32_t> pixels = DrawFrame(&result, &width);
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(m_effect->uNumPasses, 0u);
    EXPECT_EQ(m_effect->uPass, 0u);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(PixelAt(pixels, width, 512, 384), 0x000000u);
}

TEST_F(EffectFrameTest, FailingBeginDrawsNothing) {
    // Without a technique nothing can be selected, and Begin fails.
    EXPECT_TRUE(FAILED(Load("senzatecnica.fxo")));
    ASSERT_NE(m_effect->pEffect, nullptr);
    m_effect->uPass = 7;
    HRESULT result = S_OK;
    UINT width = 0;
    const std::vector<uint32_t> pixels = DrawFrame(&result, &width);
    EXPECT_TRUE(FAILED(result));
    EXPECT_EQ(m_effect->uNumPasses, 0u);
    EXPECT_EQ(m_effect->uPass, 7u);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(PixelAt(pixels, width, 512, 384), 0x000000u);
    // The time was still given to the effect before Begin.
    float time = 0.0f;
    ASSERT_EQ(m_effect->pEffect->GetFloat(m_effect->hParams[kTimeEntry], &time), S_OK);
    EXPECT_EQ(time, m_effect->fTime);
}

TEST_F(EffectFrameTest, NothingIsDrawnWithoutAnEffectOrAMesh) {
    EXPECT_EQ(m_effect->Render(), E_FAIL);
    ASSERT_EQ(m_effect->LoadEffect("assente.x", TestEffectPath("duepassi.fxo").c_str()), S_OK);
    HRESULT result = S_OK;
    UINT width = 0;
    const std::vector<uint32_t> pixels = DrawFrame(&result, &width);
    EXPECT_EQ(result, E_FAIL);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(PixelAt(pixels, width, 512, 384), 0x000000u);
}

} // namespace
