// The compiled test effects under "..\Data\Effects\" load through the platform's effect framework with
// the parameters, semantics, annotations, techniques and passes their sources declare.
#include "harness.h"

#include <string>

namespace {

class EffectFileTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(m_errors);
        SafeRelease(m_effect);
        DeviceTest::TearDown();
    }

    HRESULT Load(const char* name) {
        const std::string path = std::string("..\\Data\\Effects\\") + name;
        return D3DXCreateEffectFromFileA(g_pd3dDevice, path.c_str(), nullptr, nullptr, 0, nullptr, &m_effect,
                                         &m_errors);
    }

    std::string Annotation(D3DXHANDLE parameter, const char* name) const {
        const char* text = nullptr;
        D3DXHANDLE annotation = m_effect->GetAnnotationByName(parameter, name);
        if (!annotation || FAILED(m_effect->GetString(annotation, &text)) || !text) {
            return "(none)";
        }
        return text;
    }

    ID3DXEffect* m_effect = nullptr;
    ID3DXBuffer* m_errors = nullptr;
};

TEST_F(EffectFileTest, TexturesEffectHasItsParametersInOrderWithTypesAndResourceNames) {
    ASSERT_EQ(Load("trame.fxo"), S_OK);
    D3DXEFFECT_DESC desc = {};
    ASSERT_EQ(m_effect->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Parameters, 9u);
    EXPECT_EQ(desc.Techniques, 1u);

    struct Expected {
        const char* name;
        D3DXPARAMETER_TYPE type;
        const char* resource;
    };
    const Expected expected[] = {
        {"Mancante", D3DXPT_TEXTURE, "mancante.png"},
        {"Marmo", D3DXPT_TEXTURE, "marmo.png"},
        {"RumoreMancante", D3DXPT_TEXTURE3D, "mancante.dds"},
        {"Rumore", D3DXPT_TEXTURE3D, "rumore.dds"},
        {"Marmo2D", D3DXPT_TEXTURE2D, "marmo.png"},
        {"Marmo1D", D3DXPT_TEXTURE1D, "marmo.png"},
        {"Cielo", D3DXPT_TEXTURECUBE, "marmo.png"},
        {"SenzaNome", D3DXPT_TEXTURE2D, "(none)"},
        {"Colore", D3DXPT_FLOAT, "(none)"},
    };
    for (UINT i = 0; i < desc.Parameters; ++i) {
        SCOPED_TRACE(expected[i].name);
        D3DXHANDLE parameter = m_effect->GetParameter(nullptr, i);
        D3DXPARAMETER_DESC pd = {};
        ASSERT_EQ(m_effect->GetParameterDesc(parameter, &pd), S_OK);
        EXPECT_STREQ(pd.Name, expected[i].name);
        EXPECT_EQ(pd.Type, expected[i].type);
        EXPECT_EQ(Annotation(parameter, "ResourceName"), expected[i].resource);
    }

    D3DXVECTOR4 colour;
    ASSERT_EQ(m_effect->GetVector(m_effect->GetParameterBySemantic(nullptr, "Diffuse"), &colour), S_OK);
    EXPECT_EQ(colour, D3DXVECTOR4(1.0f, 0.5f, 0.25f, 1.0f));
}

TEST_F(EffectFileTest, SemanticsEffectDeclaresMatricesTimeAndVectors) {
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    D3DXEFFECT_DESC desc = {};
    ASSERT_EQ(m_effect->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Parameters, 58u);

    D3DXPARAMETER_DESC pd = {};
    ASSERT_EQ(m_effect->GetParameterDesc(m_effect->GetParameterBySemantic(nullptr, "WorldView"), &pd), S_OK);
    EXPECT_STREQ(pd.Name, "gWorldView");
    EXPECT_EQ(pd.Class, D3DXPC_MATRIX_ROWS);
    EXPECT_EQ(pd.Rows * pd.Columns, 16u);
    ASSERT_EQ(m_effect->GetParameterDesc(m_effect->GetParameterBySemantic(nullptr, "Time"), &pd), S_OK);
    EXPECT_EQ(pd.Class, D3DXPC_SCALAR);
    EXPECT_EQ(pd.Type, D3DXPT_FLOAT);
    ASSERT_EQ(m_effect->GetParameterDesc(
                  m_effect->GetParameterBySemantic(nullptr, "JointWolrdViewInverseTranspose"), &pd),
              S_OK);
    EXPECT_EQ(pd.Class, D3DXPC_VECTOR);

    // A matrix set is the matrix read back.
    D3DXMATRIX set, got;
    D3DXMatrixTranslation(&set, 1.0f, 2.0f, 3.0f);
    D3DXHANDLE world = m_effect->GetParameterBySemantic(nullptr, "World");
    ASSERT_EQ(m_effect->SetMatrix(world, &set), S_OK);
    ASSERT_EQ(m_effect->GetMatrix(world, &got), S_OK);
    EXPECT_EQ(got, set);
}

TEST_F(EffectFileTest, TwoPassEffectHasItsTechniqueAndPasses) {
    ASSERT_EQ(Load("duepassi.fxo"), S_OK);
    D3DXHANDLE technique = nullptr;
    EXPECT_EQ(m_effect->FindNextValidTechnique(nullptr, &technique), S_OK);
    ASSERT_NE(technique, nullptr);
    D3DXTECHNIQUE_DESC td = {};
    ASSERT_EQ(m_effect->GetTechniqueDesc(technique, &td), S_OK);
    EXPECT_STREQ(td.Name, "DuePassi");
    ASSERT_EQ(td.Passes, 2u);
    D3DXPASS_DESC pass = {};
    ASSERT_EQ(m_effect->GetPassDesc(m_effect->GetPass(technique, 1), &pass), S_OK);
    EXPECT_STREQ(pass.Name, "Blu");
}

TEST_F(EffectFileTest, EffectsWithoutPassesOrTechniquesLoad) {
    ASSERT_EQ(Load("senzapassi.fxo"), S_OK);
    D3DXTECHNIQUE_DESC td = {};
    ASSERT_EQ(m_effect->GetTechniqueDesc(m_effect->GetTechnique(0), &td), S_OK);
    EXPECT_EQ(td.Passes, 0u);
    SafeRelease(m_effect);

    ASSERT_EQ(Load("senzatecnica.fxo"), S_OK);
    D3DXEFFECT_DESC desc = {};
    ASSERT_EQ(m_effect->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Techniques, 0u);
    EXPECT_EQ(desc.Parameters, 1u);
}

} // namespace
