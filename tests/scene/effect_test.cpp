// The effect wrapper's loading and binding: semantics found or not, the texture walk with its
// debugger lines, technique selection, compile flags, and the failures of the mesh and the effect.
#include "effect_fixture.h"

#include <vector>

namespace {

std::vector<std::string> PathLine(const char* label, const std::string& file) {
    return {std::string(label) + "PATH: \"", "..\\Data\\Textures\\" + file, "\"\n"};
}

std::vector<std::string> ErrorLine(const char* text) {
    return {"ERROR: ", text, "\n"};
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const std::vector<std::string>& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The texture the effect holds for a parameter, and its resource type; null and 0 for none.
D3DRESOURCETYPE TextureType(ID3DXEffect* effect, const char* parameter) {
    IDirect3DBaseTexture9* texture = nullptr;
    effect->GetTexture(effect->GetParameterByName(nullptr, parameter), &texture);
    const D3DRESOURCETYPE type = texture ? texture->GetType() : static_cast<D3DRESOURCETYPE>(0);
    SafeRelease(texture);
    return type;
}

std::string CurrentTechniqueName(ID3DXEffect* effect) {
    D3DXTECHNIQUE_DESC desc = {};
    if (FAILED(effect->GetTechniqueDesc(effect->GetCurrentTechnique(), &desc)) || !desc.Name) {
        return "(none)";
    }
    return desc.Name;
}

// The parameter holds a value of the kind the table gives its semantic.
bool HasKind(const D3DXPARAMETER_DESC& desc, EffectSemanticKind kind) {
    switch (kind) {
    case EffectSemanticKind::Matrix:
        return (desc.Class == D3DXPC_MATRIX_ROWS || desc.Class == D3DXPC_MATRIX_COLUMNS) && desc.Rows == 4 &&
               desc.Columns == 4;
    case EffectSemanticKind::Scalar:
        return desc.Class == D3DXPC_SCALAR;
    case EffectSemanticKind::Vector:
        return desc.Class == D3DXPC_VECTOR;
    }
    return false;
}

TEST_F(EffectTest, EverySemanticOfTheTableIsFoundOnAnEffectThatDeclaresIt) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(Load("semantiche.fxo"), S_OK);
    ASSERT_NE(m_effect->pEffect, nullptr);
    EXPECT_EQ(m_effect->EffectDesc.Parameters, 58u);
    for (int i = 0; i < kEffectSemanticCount; ++i) {
        SCOPED_TRACE(kEffectSemantics[i]);
        D3DXPARAMETER_DESC desc = {};
        ASSERT_EQ(m_effect->pEffect->GetParameterDesc(m_effect->hParams[i], &desc), S_OK);
        EXPECT_EQ(std::string(desc.Name), std::string("g") + kEffectSemantics[i]);
        EXPECT_TRUE(HasKind(desc, kEffectSemanticTable[i].kind)) << "class " << desc.Class;
    }
    // The table's three odd spellings, which an effect must match letter for letter.
    EXPECT_NE(EffectSemanticIndex("EnviromentNormal"), -1);
    EXPECT_NE(EffectSemanticIndex("JointWolrdViewInverseTranspose"), -1);
    EXPECT_NE(EffectSemanticIndex("JointWorldViewProjectionTranspose"), -1);
    EXPECT_EQ(CurrentTechniqueName(m_effect->pEffect), "Principale");
    // No texture parameter, so no path line; nothing else is reported either.
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(EffectTest, SemanticsTheEffectLacksGiveNullHandlesEvenWhenOnlySpelledRight) {
    DebugOutputRecorder recorder;
    // Declares "EnvironmentNormal", "JointWorldViewInverseTranspose" and
    // "JointWorldViewProjectionInverseTranspose", the correct spellings of the table's three odd ones.
    ASSERT_EQ(Load("ortografia.fxo"), S_OK);
    for (int i = 0; i < kEffectSemanticCount; ++i) {
        EXPECT_EQ(m_effect->hParams[i], nullptr) << kEffectSemantics[i];
    }
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(EffectTest, TextureWalkLoadsTexturesAndVolumesAndGoesOnPastMissingFiles) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(Load("trame.fxo"), S_OK);
    // In parameter order; the cube texture and the texture without a file name give no line.
    const std::vector<std::string> expected =
        Joined({PathLine("Texture ", "mancante.png"), ErrorLine("Impossibile caricare la texture"),
                PathLine("Texture ", "marmo.png"), PathLine("VolumeTexture ", "mancante.dds"),
                ErrorLine("Impossibile caricare la VolumeTexture"), PathLine("VolumeTexture ", "rumore.dds"),
                PathLine("Texture ", "marmo.png"), PathLine("Texture ", "marmo.png")});
    EXPECT_EQ(recorder.Outputs(), expected);

    ID3DXEffect* effect = m_effect->pEffect;
    EXPECT_EQ(TextureType(effect, "Mancante"), 0);
    EXPECT_EQ(TextureType(effect, "Marmo"), D3DRTYPE_TEXTURE);
    EXPECT_EQ(TextureType(effect, "RumoreMancante"), 0);
    EXPECT_EQ(TextureType(effect, "Rumore"), D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(TextureType(effect, "Marmo2D"), D3DRTYPE_TEXTURE);
    EXPECT_EQ(TextureType(effect, "Marmo1D"), D3DRTYPE_TEXTURE);
    EXPECT_EQ(TextureType(effect, "Cielo"), 0);
    EXPECT_EQ(TextureType(effect, "SenzaNome"), 0);

    // Loaded whole, into the managed pool: the volume keeps its depth.
    IDirect3DBaseTexture9* texture = nullptr;
    ASSERT_EQ(effect->GetTexture(effect->GetParameterByName(nullptr, "Rumore"), &texture), S_OK);
    D3DVOLUME_DESC volume = {};
    static_cast<IDirect3DVolumeTexture9*>(texture)->GetLevelDesc(0, &volume);
    EXPECT_EQ(volume.Depth, 16u);
    EXPECT_EQ(volume.Pool, D3DPOOL_MANAGED);
    SafeRelease(texture);
    ASSERT_EQ(effect->GetTexture(effect->GetParameterByName(nullptr, "Marmo"), &texture), S_OK);
    D3DSURFACE_DESC surface = {};
    static_cast<IDirect3DTexture9*>(texture)->GetLevelDesc(0, &surface);
    EXPECT_EQ(surface.Width, 256u);
    EXPECT_EQ(surface.Pool, D3DPOOL_MANAGED);
    // Ours from GetTexture and the effect's: the wrapper kept none.
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 2u);
    SafeRelease(texture);
}

TEST_F(EffectTest, ANameTooLongForAPathFailsAsAMissingFileAndTheWalkGoesOn) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(Load("nomelungo.fxo"), S_OK);
    // No path line: the name was never joined to a path, cut short or empty, that could be loaded.
    const std::vector<std::string> expected =
        Joined({ErrorLine("Impossibile caricare la texture"),
                ErrorLine("Impossibile caricare la VolumeTexture"), PathLine("Texture ", "marmo.png")});
    EXPECT_EQ(recorder.Outputs(), expected);
    EXPECT_EQ(TextureType(m_effect->pEffect, "NomeLungo"), 0);
    EXPECT_EQ(TextureType(m_effect->pEffect, "VolumeNomeLungo"), 0);
    EXPECT_EQ(TextureType(m_effect->pEffect, "Marmo"), D3DRTYPE_TEXTURE);
}

TEST_F(EffectTest, ResourceNameWithASubFolderIsAppendedUnchanged) {
    const std::string folder = "..\\Data\\Textures\\prova";
    const std::string file = folder + "\\venato.png";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(file.c_str(), ReadFileBytes("..\\Data\\Textures\\marmo.png"));
    DebugOutputRecorder recorder;
    const HRESULT hr = Load("sottocartella.fxo");
    RemovePath(file.c_str());
    RemovePath(folder.c_str());
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(recorder.Outputs(), PathLine("Texture ", "prova\\venato.png"));
    EXPECT_EQ(TextureType(m_effect->pEffect, "Venato"), D3DRTYPE_TEXTURE);
}

TEST_F(EffectTest, EffectWithoutParametersLoadsNothingAndStillSelectsATechnique) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(Load("vuoto.fxo"), S_OK);
    EXPECT_EQ(m_effect->EffectDesc.Parameters, 0u);
    EXPECT_EQ(m_effect->EffectDesc.Techniques, 1u);
    EXPECT_EQ(CurrentTechniqueName(m_effect->pEffect), "Principale");
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(EffectTest, LoadingAddsTheCompileFlagOnce) {
    m_effect->dwCompileFlags = 0x800;
    ASSERT_EQ(Load("vuoto.fxo"), S_OK);
    EXPECT_EQ(m_effect->dwCompileFlags, 0x900u);
    ASSERT_EQ(Load("vuoto.fxo"), S_OK);
    EXPECT_EQ(m_effect->dwCompileFlags, 0x900u);
}

TEST_F(EffectTest, LoadedMeshHangsOnTheFrameOnceAcrossReloads) {
    ASSERT_EQ(Load("vuoto.fxo"), S_OK);
    CMeshContainer* first = m_effect->pMeshContainer;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_effect->MeshFrame.pFirstMeshContainer, first);
    EXPECT_EQ(first->pOwnerFrame, &m_effect->MeshFrame);
    ASSERT_NE(first->pVertexDeclaration, nullptr);

    // A reload whose mesh is missing keeps the first container, which must not be linked to itself.
    ASSERT_EQ(m_effect->LoadEffect("assente.x", TestEffectPath("vuoto.fxo").c_str()), S_OK);
    EXPECT_EQ(m_effect->pMeshContainer, first);
    EXPECT_EQ(first->pNextInFrame, nullptr);

    // A reload with a mesh adds the new container behind the first.
    ASSERT_EQ(Load("vuoto.fxo"), S_OK);
    EXPECT_NE(m_effect->pMeshContainer, first);
    EXPECT_EQ(first->pNextInFrame, m_effect->pMeshContainer);
}

TEST_F(EffectTest, MissingMeshStillCreatesAndBindsTheEffect) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(m_effect->LoadEffect("assente.x", TestEffectPath("semantiche.fxo").c_str()), S_OK);
    EXPECT_EQ(m_effect->pMeshContainer, nullptr);
    EXPECT_EQ(m_effect->MeshFrame.pFirstMeshContainer, nullptr);
    EXPECT_NE(m_effect->hParams[EffectSemanticIndex("World")], nullptr);
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(EffectTest, SourceThatDoesNotCompileReportsAndShowsTheCompilersMessages) {
    DebugOutputRecorder recorder;
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(FAILED(Load("guasto.fx")));
    EXPECT_EQ(m_effect->pEffect, nullptr);
    const std::vector<std::string> expected =
        Joined({{"Errore nel caricamento del file .fx\n"}, ErrorLine("FX Creation Error")});
    EXPECT_EQ(recorder.Outputs(), expected);

    ASSERT_NE(m_effect->pErrors, nullptr);
    const std::string messages = static_cast<const char*>(m_effect->pErrors->GetBufferPointer());
    EXPECT_FALSE(messages.empty());
    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    const SeenMessageBox& box = answerer.Seen()[0];
    EXPECT_EQ(box.caption, "Fx Creation Error");
    EXPECT_EQ(box.text, messages);
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasYesNo);
    // The mesh was loaded before the effect, and stays.
    EXPECT_NE(m_effect->pMeshContainer, nullptr);
}

TEST_F(EffectTest, UnreadableEffectFileReportsWithoutABox) {
    DebugOutputRecorder recorder;
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(FAILED(Load("assente.fxo")));
    EXPECT_EQ(m_effect->pErrors, nullptr);
    EXPECT_EQ(recorder.Outputs(),
              Joined({{"Errore nel caricamento del file .fx\n"}, ErrorLine("FX Creation Error")}));
    EXPECT_THAT(answerer.Seen(), IsEmpty());
    EXPECT_EQ(m_effect->BindSemantics(), E_FAIL);
}

} // namespace
