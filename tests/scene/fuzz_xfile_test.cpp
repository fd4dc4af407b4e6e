// Spoiled .x files through every loader front end, in text and binary form: truncated, bytes flipped,
// counts and indices inflated. Each load either fails the way its front end reports failures or gives a
// whole result that can be drawn, skinned and released; nothing crashes, hangs or writes a message.
#include "harness.h"
#include "mutator.h"
#include "xfile_text.h"

#include "platform/platform.h"
#include "scene/scene.h"

#include <cstring>
#include <functional>
#include <memory>

namespace {

const char kSpoiledFile[] = "guasto.x";
const char kTextureFolder[] = "..\\Data\\";
const char kGamePeg[] = "..\\Data\\pedino.x";
constexpr DWORD kCloneFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr int kMutantsPerSmallSeed = 40;
constexpr int kMutantsPerGameSeed = 6;
const char kUnspoiled[] = " unspoiled"; // ends what ForEachMutant names an unspoiled seed

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
// The skin data come before the normals and texture coordinates, so the layout the platform has read at
// the skin header is not the mesh's.
std::string SkinnedHierarchy() {
    const std::vector<xfile::Face> faces = {{0, 1, 2}};
    const std::string skin =
        xfile::SkinHeader(1, 3, 1) + xfile::SkinWeights("Osso", {0, 1, 2}, {1.0f, 1.0f, 1.0f}, Identity()) +
        xfile::Normals({{0, 0, -1}, {0, 0, -1}, {0, 0, -1}}, faces) +
        xfile::TextureCoords({{0, 0}, {1, 0}, {0, 1}}) + xfile::MaterialList(1, {0.0f, 1.0f, 0.0f, 1.0f});
    const std::string mesh = xfile::Mesh("Pelle", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, faces, skin);
    const std::string bone = xfile::Frame("Osso", xfile::FrameMatrix(Identity()));
    return xfile::Header() + xfile::SkinTemplates() +
           xfile::Frame("Radice", xfile::FrameMatrix(Identity()) + bone + mesh) +
           xfile::Frame("Copia", xfile::Reference("Pelle"));
}

// One object as a parser of the tests records it: name, depth, "r" for a reference (and everything
// under one) and the size of its data.
std::string ObjectEntry(const char* name, DWORD depth, bool isReference, SIZE_T size) {
    return std::string(name ? name : "") + "@" + std::to_string(depth) + (isReference ? "r " : " ") +
           std::to_string(size);
}

// Depth first, straight from the platform: the entries of `data` and everything under it.
void AddPlatformObjects(ID3DXFileData* data, DWORD depth, bool isReference,
                        std::vector<std::string>* objects) {
    SIZE_T nameSize = 0;
    std::vector<char> name(1, '\0');
    if (SUCCEEDED(data->GetName(nullptr, &nameSize)) && nameSize > 0) {
        name.assign(nameSize, '\0');
        if (FAILED(data->GetName(name.data(), &nameSize))) {
            name.assign(1, '\0');
        }
    }
    SIZE_T size = 0;
    const void* bytes = nullptr;
    if (SUCCEEDED(data->Lock(&size, &bytes))) {
        data->Unlock();
    }
    objects->push_back(ObjectEntry(name.data(), depth, isReference, size));
    SIZE_T count = 0;
    data->GetChildren(&count);
    for (SIZE_T i = 0; i < count; ++i) {
        ID3DXFileData* child = nullptr;
        if (SUCCEEDED(data->GetChild(i, &child)) && child) {
            AddPlatformObjects(child, depth + 1, isReference || child->IsReference(), objects);
            child->Release();
        }
    }
}

// What the platform's own enumeration of a file, opened with the standard templates as the loaders open
// it, holds. False, with no objects, when the file cannot be opened.
bool PlatformObjects(const char* fileName, std::vector<std::string>* objects) {
    ID3DXFile* file = nullptr;
    ID3DXFileEnumObject* enumeration = nullptr;
    const bool opened = SUCCEEDED(D3DXFileCreate(&file)) &&
                        SUCCEEDED(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES)) &&
                        SUCCEEDED(file->CreateEnumObject(fileName, D3DXF_FILELOAD_FROMFILE, &enumeration));
    SIZE_T count = 0;
    if (opened) {
        enumeration->GetChildren(&count);
    }
    for (SIZE_T i = 0; i < count; ++i) {
        ID3DXFileData* child = nullptr;
        if (SUCCEEDED(enumeration->GetChild(i, &child)) && child) {
            AddPlatformObjects(child, 0, child->IsReference() != FALSE, objects);
            child->Release();
        }
    }
    SafeRelease(enumeration);
    SafeRelease(file);
    return opened;
}

bool PlatformOpens(const char* fileName) {
    std::vector<std::string> objects;
    return PlatformObjects(fileName, &objects);
}

// The bytes of each vertex that skinning may write: the float positions and the normal.
std::vector<bool> SkinnedBytes(const D3DVERTEXELEMENT9* elements, DWORD stride) {
    std::vector<bool> written(stride, false);
    for (UINT i = 0; i < D3DXGetDeclLength(elements); ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        const bool skinned =
            e.Usage == D3DDECLUSAGE_POSITION || (e.Usage == D3DDECLUSAGE_NORMAL && e.UsageIndex == 0);
        if (!skinned || e.Type != D3DDECLTYPE_FLOAT3) {
            continue;
        }
        for (DWORD b = e.Offset; b < e.Offset + sizeof(D3DXVECTOR3) && b < stride; ++b) {
            written[b] = true;
        }
    }
    return written;
}

bool IsUnspoiled(const std::string& what) {
    const size_t length = sizeof(kUnspoiled) - 1;
    return what.size() >= length && what.compare(what.size() - length, length, kUnspoiled) == 0;
}

std::string VertexBytes(ID3DXMesh* mesh) {
    void* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) {
        return std::string();
    }
    const std::string bytes(static_cast<const char*>(vertices),
                            mesh->GetNumVertices() * mesh->GetNumBytesPerVertex());
    mesh->UnlockVertexBuffer();
    return bytes;
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
                load("seed " + std::to_string(seedNumber) + kUnspoiled);
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

    // A skinned container's skin describes its mesh's vertices, and the update does what it states:
    // S_OK with the bone arrays (only positions and normals written), else E_FAIL with nothing written.
    static void ExpectSkinnedInTheMeshLayout(CMeshContainer* c) {
        ID3DXMesh* mesh = c->MeshData.pMesh;
        D3DVERTEXELEMENT9 meshElements[MAX_FVF_DECL_SIZE];
        D3DVERTEXELEMENT9 skinElements[MAX_FVF_DECL_SIZE];
        ASSERT_EQ(mesh->GetDeclaration(meshElements), S_OK);
        ASSERT_EQ(c->pSkinInfo->GetDeclaration(skinElements), S_OK);
        const UINT length = D3DXGetDeclLength(meshElements);
        ASSERT_EQ(D3DXGetDeclLength(skinElements), length) << "skin FVF " << c->pSkinInfo->GetFVF();
        EXPECT_EQ(memcmp(skinElements, meshElements, length * sizeof(D3DVERTEXELEMENT9)), 0);
        EXPECT_EQ(D3DXGetDeclVertexSize(skinElements, 0), mesh->GetNumBytesPerVertex());
        ASSERT_NE(c->pSkinnedMesh, nullptr);
        ASSERT_EQ(c->pSkinnedMesh->GetNumBytesPerVertex(), mesh->GetNumBytesPerVertex());

        const DWORD stride = mesh->GetNumBytesPerVertex();
        const std::string before = VertexBytes(c->pSkinnedMesh);
        ASSERT_FALSE(before.empty());
        const bool linked = c->ppBoneMatrixPtrs && c->pBoneMatrices;
        // Frames turned and moved, so that what the update writes differs from the copy's figures.
        const D3DXMATRIX moved(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 10, 20, 30, 1);
        for (DWORD i = 0; linked && i < c->pSkinInfo->GetNumBones(); ++i) {
            if (c->ppBoneMatrixPtrs[i]) {
                *c->ppBoneMatrixPtrs[i] = moved;
            }
        }
        ASSERT_EQ(UpdateSkinnedMesh(c), linked ? S_OK : E_FAIL);
        const std::string after = VertexBytes(c->pSkinnedMesh);
        ASSERT_EQ(after.size(), before.size());
        const std::vector<bool> skinned =
            linked ? SkinnedBytes(meshElements, stride) : std::vector<bool>(stride);
        for (size_t b = 0; b < after.size(); ++b) {
            if (!skinned[b % stride] && after[b] != before[b]) {
                ADD_FAILURE() << "vertex " << b / stride << " byte " << b % stride << " of " << stride
                              << " written by the update";
                return;
            }
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
            if (c->pSkinInfo) {
                if (root) {
                    EXPECT_NE(c->ppBoneMatrixPtrs, nullptr);
                }
                ExpectSkinnedInTheMeshLayout(c);
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
        const int opens = PlatformOpens(kSpoiledFile) ? 1 : 0;
        const int result = frame->LoadFromX(kSpoiledFile, g_pd3dDevice, 0);
        ASSERT_EQ(result, opens);
        ASSERT_GE(frame->subMeshCount, 0);
        ASSERT_LE(frame->subMeshCount, kMaxSubMeshes);
        EXPECT_EQ(frame->lastSubMeshIndex, result ? frame->subMeshCount - 1 : 0);
        for (int i = 0; i < frame->subMeshCount; ++i) {
            ASSERT_NE(frame->subMeshes[i], nullptr);
            SafeRelease(frame->subMeshes[i]); // the frame never releases its sub-meshes
        }
        // Every seed holds a mesh: a loader that loads none would pass every mutant.
        if (IsUnspoiled(what)) {
            ASSERT_GE(frame->subMeshCount, 1) << "the unspoiled seed gives no sub-mesh";
        }
    });
}

// Reads every object it is handed, name and data, records it as PlatformObjects does, and walks on.
class ReadingParser : public CXFileParser {
public:
    int BeginParse(DWORD) override {
        ++begun;
        return 1;
    }
    void EndParse(DWORD) override { ++ended; }
    bool ParseObject(ID3DXFileData* data, ID3DXFileData*, DWORD depth, DWORD context,
                     bool isReference) override {
        char* name = GetFileDataName(data);
        SIZE_T size = 0;
        delete[] CopyFileData(data, &size);
        objects.push_back(ObjectEntry(name, depth, isReference, size));
        delete[] name;
        return ParseChildObjects(data, depth, context, isReference);
    }
    int begun = 0;
    int ended = 0;
    std::vector<std::string> objects;
};

// The parser opens what the platform opens and hands on every object the platform gives, in order,
// with its depth, reference flag and data. The mutants include files of both kinds.
TEST_F(XFileFuzzTest, ParserBaseWalksWhatTheFileObjectsGive) {
    int opened = 0;
    int refused = 0;
    ForEachMutant([&](const std::string& what) {
        SCOPED_TRACE(what);
        std::vector<std::string> expected;
        const bool opens = PlatformObjects(kSpoiledFile, &expected);
        ++(opens ? opened : refused);
        ReadingParser parser;
        EXPECT_EQ(parser.Load(kSpoiledFile, 0), opens ? 1 : 0);
        EXPECT_EQ(parser.begun, opens ? 1 : 0);
        EXPECT_EQ(parser.ended, opens ? 1 : 0);
        EXPECT_EQ(parser.objects, expected);
    });
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}

} // namespace
