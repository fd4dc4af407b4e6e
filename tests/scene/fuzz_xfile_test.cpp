// Spoiled .x files through every loader front end, in text and binary form: truncated, bytes flipped,
// counts and indices inflated. Each load either fails the way its front end reports failures or gives a
// whole result that can be drawn and released; nothing crashes, hangs or writes a message.
#include "harness.h"
#include "mutator.h"
#include "xfile_text.h"

#include "scene/scene.h"

#include <functional>
#include <memory>

namespace {

const char kSpoiledFile[] = "guasto.x";
const char kTextureFolder[] = "..\\Data\\";
const char kGamePeg[] = "..\\Data\\pedino.x";
constexpr DWORD kCloneFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr int kMutantsPerSmallSeed = 40;
constexpr int kMutantsPerGameSeed = 6;

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

// A textured box with normals, texture coordinates and one material naming a texture.
std::string TexturedBox() {
    std::string normals = "MeshNormals {\n1;\n0.0;0.0;-1.0;;\n12;\n";
    std::string coords = "MeshTextureCoords {\n8;\n";
    for (int i = 0; i < 12; ++i) {
        normals += std::string("3;0,0,0;") + (i < 11 ? "," : ";") + "\n";
    }
    for (int i = 0; i < 8; ++i) {
        coords += std::string(i % 2 ? "1.0;0.0;" : "0.0;1.0;") + (i < 7 ? "," : ";") + "\n";
    }
    std::string materials = "MeshMaterialList {\n2;\n12;\n0,0,0,0,0,0,1,1,1,1,1,1;\n"
                            "Material {\n1.0;0.0;0.0;1.0;;\n5.0;\n1.0;1.0;1.0;;\n0.0;0.0;0.0;;\n"
                            "TextureFilename {\n\"Red.png\";\n}\n}\n"
                            "Material {\n0.0;0.0;1.0;1.0;;\n5.0;\n1.0;1.0;1.0;;\n0.0;0.0;0.0;;\n}\n}\n";
    return xfile::Header() +
           xfile::Box("Scatola", {-1, -1, -1}, {1, 1, 1}, normals + "}\n" + coords + "}\n" + materials);
}

// Two frames with matrices, a skinned triangle whose bone is the inner frame, and a reference to it.
std::string SkinnedHierarchy() {
    const std::string skin = xfile::SkinHeader(1, 3, 1) +
                             xfile::SkinWeights("Osso", {0, 1, 2}, {1.0f, 1.0f, 1.0f}, Identity()) +
                             xfile::MaterialList(1, {0.0f, 1.0f, 0.0f, 1.0f});
    const std::string mesh = xfile::Mesh("Pelle", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, skin);
    const std::string bone = xfile::Frame("Osso", xfile::FrameMatrix(Identity()));
    return xfile::Header() + xfile::SkinTemplates() +
           xfile::Frame("Radice", xfile::FrameMatrix(Identity()) + bone + mesh) +
           xfile::Frame("Copia", xfile::Reference("Pelle"));
}

class XFileFuzzTest : public DeviceTest {
protected:
    // Runs load(what) on every mutant of every seed, each written to kSpoiledFile first; the seeds
    // themselves load whole, so what fails is the spoiling.
    void ForEachMutant(const std::function<void(const std::string& what)>& load) {
        const std::string peg = ReadFileBytes(kGamePeg);
        ASSERT_FALSE(peg.empty()) << kGamePeg;
        struct Seed {
            std::string text;
            int mutants;
        };
        const Seed seeds[] = {{TexturedBox(), kMutantsPerSmallSeed},
                              {SkinnedHierarchy(), kMutantsPerSmallSeed},
                              {peg, kMutantsPerGameSeed}};
        uint64_t seedNumber = 1;
        for (const Seed& seed : seeds) {
            const fuzz::BinaryXFile binary = fuzz::TextToBinaryXFile(seed.text);
            const std::pair<std::string, std::vector<fuzz::Number>> forms[] = {
                {seed.text, fuzz::TextIntegers(seed.text)}, {binary.bytes, binary.integers}};
            for (const auto& form : forms) {
                WriteFileBytes(kSpoiledFile, form.first);
                // The unspoiled seed, text or binary, gives its meshes.
                CMeshContainer* whole = nullptr;
                LoadHierarchyFromX(&whole, nullptr, g_pd3dDevice, kSpoiledFile, kTextureFolder, 0,
                                   D3DXMESH_SYSTEMMEM);
                ASSERT_NE(whole, nullptr) << "seed " << seedNumber;
                delete whole;
                load("seed " + std::to_string(seedNumber) + " unspoiled");
                fuzz::Mutator mutator(form.first, seedNumber, form.second);
                for (int i = 0; i < seed.mutants; ++i) {
                    const fuzz::Mutant mutant = mutator.Next();
                    WriteFileBytes(kSpoiledFile, mutant.bytes);
                    load(mutant.what);
                    if (HasFatalFailure()) {
                        return;
                    }
                }
                ++seedNumber;
            }
        }
    }

    // A container a loader called whole: a mesh, and materials for every subset it draws.
    static void ExpectWhole(const CMeshContainer* c, bool withMaterials) {
        ASSERT_NE(c->MeshData.pMesh, nullptr);
        if (withMaterials) {
            EXPECT_GE(c->NumMaterials, 1u);
            EXPECT_NE(c->pMaterials, nullptr);
            EXPECT_NE(c->ppTextures, nullptr);
        }
    }

    void Draw(CMeshContainer* c) {
        g_pd3dDevice->BeginScene();
        RenderMeshContainer(c, true);
        g_pd3dDevice->EndScene();
    }
};

TEST_F(XFileFuzzTest, FileLoadersFailWithTheirResultOrGiveAWholeContainer) {
    int index = 0;
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        const DWORD fvf = index++ % 2 ? kCloneFvf : 0;
        CMeshContainer* plain = nullptr;
        const HRESULT hr =
            LoadMeshFromX(&plain, g_pd3dDevice, kSpoiledFile, kTextureFolder, fvf, D3DXMESH_SYSTEMMEM);
        if (FAILED(hr)) {
            EXPECT_EQ(plain, nullptr);
        } else {
            ExpectWhole(plain, true);
            Draw(plain);
        }
        delete plain;

        CMeshContainer* withMatrix = nullptr;
        if (FAILED(LoadMeshFromXWithMatrix(&withMatrix, 0, g_pd3dDevice, kSpoiledFile, kTextureFolder, fvf,
                                           D3DXMESH_MANAGED))) {
            EXPECT_EQ(withMatrix, nullptr);
        } else {
            ExpectWhole(withMatrix, true);
        }
        delete withMatrix;

        CMeshContainer* sorted = nullptr;
        IDirect3DVertexBuffer9* vertices = nullptr;
        IDirect3DIndexBuffer9* indices = nullptr;
        if (FAILED(LoadMeshSorted(&sorted, g_pd3dDevice, kSpoiledFile, kCloneFvf, vertices, indices))) {
            EXPECT_EQ(sorted, nullptr);
        } else {
            ExpectWhole(sorted, false);
            EXPECT_NE(sorted->pVertexBuffer, nullptr);
        }
        delete sorted;
        EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
    });
}

TEST_F(XFileFuzzTest, EffectMeshLoaderFailsWithItsResultOrGivesADrawableContainer) {
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        CMeshContainer* c = nullptr;
        if (FAILED(LoadMeshForEffect(&c, g_pd3dDevice, kSpoiledFile))) {
            EXPECT_EQ(c, nullptr);
        } else {
            ExpectWhole(c, false);
            // Drawing walks NumMaterials (the ranges): there must be a material for each.
            if (c->NumMaterials > 0) {
                EXPECT_NE(c->pMaterials, nullptr);
            }
            Draw(c);
        }
        delete c;
        EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
    });
}

TEST_F(XFileFuzzTest, HierarchyLoaderSkipsWhatItCannotBuild) {
    int index = 0;
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        CMeshContainer* chain = nullptr;
        CHierarchyFrame* root = nullptr;
        const DWORD fvf = index % 2 ? kCloneFvf : 0;
        HRESULT hr;
        if (index++ % 3 == 2) {
            CHierarchyFrame anchor;
            hr = LoadHierarchyFromXAttached(&chain, &root, &anchor, g_pd3dDevice, kSpoiledFile,
                                            kTextureFolder, fvf, D3DXMESH_SYSTEMMEM);
            anchor.pFrameSibling = nullptr; // the loaded tree is the caller's, below
        } else {
            hr = LoadHierarchyFromX(&chain, &root, g_pd3dDevice, kSpoiledFile, kTextureFolder, fvf,
                                    D3DXMESH_SYSTEMMEM);
        }
        EXPECT_EQ(hr, S_OK);
        for (CMeshContainer* c = chain; c; c = static_cast<CMeshContainer*>(c->pNextMeshContainer)) {
            ExpectWhole(c, true);
            if (c->pSkinInfo && root) {
                EXPECT_NE(c->ppBoneMatrixPtrs, nullptr);
            }
            Draw(c);
        }
        delete root;
        delete chain;
        EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
    });
}

TEST_F(XFileFuzzTest, FrameSubMeshLoaderKeepsItsCountsWhole) {
    std::unique_ptr<CFrame> frame(new CFrame());
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        const int result = frame->LoadFromX(kSpoiledFile, g_pd3dDevice, 0);
        ASSERT_TRUE(result == 0 || result == 1);
        ASSERT_GE(frame->subMeshCount, 0);
        ASSERT_LE(frame->subMeshCount, kMaxSubMeshes);
        EXPECT_EQ(frame->lastSubMeshIndex, result ? frame->subMeshCount - 1 : 0);
        for (int i = 0; i < frame->subMeshCount; ++i) {
            ASSERT_NE(frame->subMeshes[i], nullptr);
            SafeRelease(frame->subMeshes[i]); // the frame never releases its sub-meshes
        }
    });
}

// Reads every object it is handed, name and data, and walks on.
class ReadingParser : public CXFileParser {
public:
    int BeginParse(DWORD) override { return 1; }
    void EndParse(DWORD) override {}
    bool ParseObject(ID3DXFileData* data, ID3DXFileData*, DWORD depth, DWORD context,
                     bool isReference) override {
        delete[] GetFileDataName(data);
        SIZE_T size = 0;
        delete[] CopyFileData(data, &size);
        ++objects;
        return ParseChildObjects(data, depth, context, isReference);
    }
    int objects = 0;
};

TEST_F(XFileFuzzTest, ParserBaseWalksWhatTheFileObjectsGive) {
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        ReadingParser parser;
        const int result = parser.Load(kSpoiledFile, 0);
        EXPECT_TRUE(result == 0 || result == 1);
        if (result == 0) {
            EXPECT_EQ(parser.objects, 0);
        }
    });
}

} // namespace
