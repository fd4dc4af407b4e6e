// The .x loaders on files the tests write: materials and textures, the argument and failure rules, the
// FVF clone, the sorted and effect variants, mesh data objects with and without bones, and shaders.
#include "scene_test_util.h"

#include <string>

namespace {

// A floor square of two faces, normals up, texture coordinates; `extra` goes inside the Mesh.
std::string SquareMesh(const char* name, const std::string& extra) {
    return std::string("Mesh ") + name +
           " {\n 4;\n -1.0;0.0;1.0;,\n 1.0;0.0;1.0;,\n 1.0;0.0;-1.0;,\n -1.0;0.0;-1.0;;\n"
           " 2;\n 3;0,1,2;,\n 3;0,2,3;;\n"
           " MeshNormals {\n  1;\n  0.0;1.0;0.0;;\n  2;\n  3;0,0,0;,\n  3;0,0,0;;\n }\n"
           " MeshTextureCoords {\n  4;\n  0.0;0.0;,\n  1.0;0.0;,\n  1.0;1.0;,\n  0.0;1.0;;\n }\n" +
           extra + "}\n";
}

const char kHeader[] = "xof 0303txt 0032\n";

std::string Material(const char* rgba, const char* texture) {
    std::string m =
        std::string("  Material {\n   ") + rgba + ";;\n   12.5;\n   0.1;0.2;0.3;;\n   0.4;0.5;0.6;;\n";
    if (texture) {
        m += std::string("   TextureFilename { \"") + texture + "\"; }\n";
    }
    return m + "  }\n";
}

// Faces 0 and 1 use materials 0 and 1.
std::string TwoMaterials(const char* firstTexture, const char* secondTexture) {
    return " MeshMaterialList {\n  2;\n  2;\n  0,\n  1;\n" + Material("0.2;0.4;0.6;0.8", firstTexture) +
           Material("1.0;1.0;1.0;1.0", secondTexture) + " }\n";
}

// Four faces whose materials alternate (0, 1, 0, 1), so sorting by attribute reorders them.
std::string AlternatingMesh() {
    return std::string(
               "Mesh Alternating {\n 6;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 1.0;0.0;1.0;,\n 0.0;0.0;1.0;,\n"
               " 2.0;0.0;0.0;,\n 2.0;0.0;1.0;;\n"
               " 4;\n 3;0,2,1;,\n 3;1,2,5;,\n 3;0,3,2;,\n 3;1,5,4;;\n"
               " MeshMaterialList {\n  2;\n  4;\n  0,\n  1,\n  0,\n  1;\n") +
           Material("1.0;0.0;0.0;1.0", nullptr) + Material("0.0;1.0;0.0;1.0", nullptr) + " }\n}\n";
}

// A 2 x 2 24-bit BMP of one colour.
std::string SolidBmp(BYTE r, BYTE g, BYTE b) {
    std::string bmp(54 + 16, '\0');
    auto put32 = [&](size_t at, DWORD v) { memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<DWORD>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 2; ++x) {
            const size_t at = 54 + row * 8 + x * 3;
            bmp[at] = static_cast<char>(b);
            bmp[at + 1] = static_cast<char>(g);
            bmp[at + 2] = static_cast<char>(r);
        }
    }
    return bmp;
}

class MeshLoaderTest : public DeviceTest {
protected:
    // Each test works in a folder of its own: the test processes run side by side in one folder.
    void SetUp() override {
        DeviceTest::SetUp();
        GetCurrentDirectoryA(sizeof(m_home), m_home);
        m_folder = std::string("loader_") + testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(m_folder.c_str(), nullptr);
        SetCurrentDirectoryA(m_folder.c_str());
        Write("plain.x", kHeader + SquareMesh("Plain", ""));
        Write("materials.x", kHeader + SquareMesh("Coloured", TwoMaterials("missing.png", "red.bmp")));
        Write("alternating.x", kHeader + AlternatingMesh());
        Write("red.bmp", SolidBmp(255, 0, 0));
        Write("corrupt.x", "xof 0303txt 0032\nMesh Broken {\n 4;\n 1.0;;;\n");
    }
    void TearDown() override {
        delete m_container;
        m_container = nullptr;
        for (const std::string& file : m_files) {
            RemovePath(file.c_str());
        }
        SetCurrentDirectoryA(m_home);
        RemovePath(m_folder.c_str());
        DeviceTest::TearDown();
    }
    void Write(const std::string& name, const std::string& bytes) {
        WriteFileBytes(name.c_str(), bytes);
        m_files.push_back(name);
    }

    CMeshContainer* m_container = nullptr;
    std::vector<std::string> m_files;
    std::string m_folder;
    char m_home[MAX_PATH] = {};
};

TEST_F(MeshLoaderTest, FileWithoutMaterialsGetsOneWhiteMaterialAndTheGameDefaults) {
    ASSERT_EQ(LoadMeshFromX(&m_container, g_pd3dDevice, "plain.x", ".\\", 0, D3DXMESH_SYSTEMMEM), S_OK);
    ASSERT_NE(m_container, nullptr);
    EXPECT_STREQ(m_container->Name, "plain.x");
    EXPECT_EQ(m_container->MeshData.Type, D3DXMESHTYPE_MESH);
    ASSERT_EQ(m_container->NumMaterials, 1u);
    const D3DMATERIAL9& white = m_container->pMaterials[0].MatD3D;
    for (const D3DCOLORVALUE& c : {white.Diffuse, white.Ambient, white.Specular}) {
        EXPECT_EQ(c.r + c.g + c.b + c.a, 4.0f);
    }
    EXPECT_EQ(white.Emissive.r + white.Emissive.g + white.Emissive.b + white.Emissive.a, 0.0f);
    EXPECT_EQ(white.Power, 0.0f);
    EXPECT_EQ(m_container->pMaterials[0].pTextureFilename, nullptr);
    ASSERT_NE(m_container->ppTextures, nullptr);
    EXPECT_EQ(m_container->ppTextures[0], nullptr);

    // The game's arguments: kept in system memory, not cloned, no buffers of its own.
    ID3DXMesh* mesh = m_container->MeshData.pMesh;
    EXPECT_TRUE(mesh->GetOptions() & D3DXMESH_SYSTEMMEM);
    EXPECT_EQ(m_container->pVertexBuffer, nullptr);
    EXPECT_EQ(m_container->pIndexBuffer, nullptr);
    // Adjacency: the two faces of the square share one edge.
    ASSERT_NE(m_container->pAdjacency, nullptr);
    int shared = 0;
    for (int i = 0; i < 6; ++i) {
        shared += m_container->pAdjacency[i] != 0xFFFFFFFF;
    }
    EXPECT_EQ(shared, 2);
    EXPECT_EQ(m_container->pSkinInfo, nullptr);
    EXPECT_EQ(m_container->pSkinnedMesh, nullptr);
    EXPECT_EQ(m_container->pVertexDeclaration, nullptr);
    EXPECT_EQ(m_container->pAttributeTable, nullptr);
}

TEST_F(MeshLoaderTest, MaterialsTakeAmbientFromDiffuseAndTexturesFromTheFolder) {
    ASSERT_EQ(LoadMeshFromX(&m_container, g_pd3dDevice, "materials.x", ".\\", 0, D3DXMESH_SYSTEMMEM), S_OK);
    ASSERT_EQ(m_container->NumMaterials, 2u);
    const D3DMATERIAL9& first = m_container->pMaterials[0].MatD3D;
    EXPECT_EQ(first.Diffuse.r, 0.2f);
    EXPECT_EQ(first.Diffuse.a, 0.8f);
    EXPECT_EQ(memcmp(&first.Ambient, &first.Diffuse, sizeof(D3DCOLORVALUE)), 0);
    EXPECT_EQ(first.Power, 12.5f);
    EXPECT_EQ(first.Specular.g, 0.2f);
    EXPECT_EQ(first.Emissive.b, 0.6f);
    EXPECT_EQ(m_container->pMaterials[0].pTextureFilename, nullptr);
    EXPECT_EQ(m_container->pMaterials[1].pTextureFilename, nullptr);
    // "missing.png" does not exist: its slot stays empty and the load still succeeds.
    EXPECT_EQ(m_container->ppTextures[0], nullptr);
    EXPECT_NE(m_container->ppTextures[1], nullptr);

    // A folder whose joined path would not fit in 260 bytes loads nothing rather than a cut name.
    delete m_container;
    m_container = nullptr;
    const std::string longFolder = ".\\" + std::string(252, 'x') + "\\";
    ASSERT_EQ(LoadMeshFromX(&m_container, g_pd3dDevice, "materials.x", longFolder.c_str(), 0, 0), S_OK);
    EXPECT_EQ(m_container->ppTextures[1], nullptr);
}

TEST_F(MeshLoaderTest, MissingArgumentsAndFailedLoadsLeaveTheOutputAlone) {
    CMeshContainer* const untouched = reinterpret_cast<CMeshContainer*>(0x1234);
    CMeshContainer* out = untouched;
    // A null texture folder fails even for a mesh that names no texture.
    EXPECT_EQ(LoadMeshFromX(&out, g_pd3dDevice, "plain.x", nullptr, 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromX(nullptr, g_pd3dDevice, "plain.x", ".\\", 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromX(&out, nullptr, "plain.x", ".\\", 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromX(&out, g_pd3dDevice, nullptr, ".\\", 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromX(&out, g_pd3dDevice, "", ".\\", 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromX(&out, g_pd3dDevice, "plain.x", "", 0, 0), E_FAIL);
    EXPECT_EQ(LoadMeshFromXWithMatrix(&out, 0, g_pd3dDevice, "plain.x", nullptr, 0, 0), E_FAIL);
    EXPECT_EQ(CreateSkinnedMeshContainer(&out, g_pd3dDevice, nullptr, ".\\", 0, 0), E_FAIL);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(LoadMeshSorted(&out, g_pd3dDevice, nullptr, D3DFVF_XYZ, vb, ib), E_FAIL);
    EXPECT_EQ(LoadMeshForEffect(&out, nullptr, "plain.x"), E_FAIL);

    DebugOutputRecorder recorder;
    for (const char* file : {"nothing-here.x", "corrupt.x"}) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(FAILED(LoadMeshFromX(&out, g_pd3dDevice, file, ".\\", 0, D3DXMESH_SYSTEMMEM)));
        EXPECT_TRUE(FAILED(LoadMeshForEffect(&out, g_pd3dDevice, file)));
        EXPECT_TRUE(FAILED(LoadMeshSorted(&out, g_pd3dDevice, file, D3DFVF_XYZ, vb, ib)));
    }
    // A clone to an FVF the platform refuses: its failure, nothing made.
    EXPECT_TRUE(FAILED(LoadMeshFromX(&out, g_pd3dDevice, "plain.x", ".\\", 0xFFFFFFFF, D3DXMESH_MANAGED)));
    EXPECT_EQ(out, untouched);
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(MeshLoaderTest, GivenFvfTheCloneGetsTheOptionsAndItsBuffersAreKept) {
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL;
    ASSERT_EQ(LoadMeshFromX(&m_container, g_pd3dDevice, "materials.x", ".\\", fvf, D3DXMESH_MANAGED), S_OK);
    ID3DXMesh* mesh = m_container->MeshData.pMesh;
    EXPECT_EQ(mesh->GetFVF(), fvf);
    EXPECT_TRUE(mesh->GetOptions() & D3DXMESH_MANAGED);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    mesh->GetVertexBuffer(&vb);
    mesh->GetIndexBuffer(&ib);
    EXPECT_EQ(m_container->pVertexBuffer, vb);
    EXPECT_EQ(m_container->pIndexBuffer, ib);
    SafeRelease(vb);
    SafeRelease(ib);
    EXPECT_EQ(m_container->NumMaterials, 2u);

    // The variant with a matrix keeps no buffers and has the identity.
    delete m_container;
    m_container = nullptr;
    ASSERT_EQ(
        LoadMeshFromXWithMatrix(&m_container, 77, g_pd3dDevice, "materials.x", ".\\", fvf, D3DXMESH_MANAGED),
        S_OK);
    EXPECT_EQ(m_container->MeshData.pMesh->GetFVF(), fvf);
    EXPECT_EQ(m_container->pVertexBuffer, nullptr);
    EXPECT_EQ(m_container->pIndexBuffer, nullptr);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(m_container->matTransform, identity);
    EXPECT_NE(m_container->ppTextures[1], nullptr);
}

TEST_F(MeshLoaderTest, SortedMeshKeepsRangesAndWriteOnlyBuffersAndReleasesTheOnesGiven) {
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(g_pd3dDevice->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), S_OK);
    ASSERT_EQ(g_pd3dDevice->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), S_OK);
    vb->AddRef();
    ib->AddRef();
    IDirect3DVertexBuffer9* givenVb = vb;
    IDirect3DIndexBuffer9* givenIb = ib;

    ASSERT_EQ(LoadMeshSorted(&m_container, g_pd3dDevice, "alternating.x", D3DFVF_XYZ, vb, ib), S_OK);
    EXPECT_EQ(vb, nullptr);
    EXPECT_EQ(ib, nullptr);
    EXPECT_EQ(givenVb->Release(), 0u);
    EXPECT_EQ(givenIb->Release(), 0u);

    EXPECT_STREQ(m_container->Name, "alternating.x");
    ASSERT_EQ(m_container->NumMaterials, 2u);
    ASSERT_NE(m_container->pAttributeTable, nullptr);
    for (DWORD i = 0; i < 2; ++i) {
        EXPECT_EQ(m_container->pAttributeTable[i].AttribId, i);
        EXPECT_EQ(m_container->pAttributeTable[i].FaceStart, 2 * i);
        EXPECT_EQ(m_container->pAttributeTable[i].FaceCount, 2u);
    }
    EXPECT_EQ(m_container->pMaterials, nullptr);
    EXPECT_EQ(m_container->ppTextures, nullptr);
    EXPECT_EQ(m_container->pAdjacency, nullptr);
    ASSERT_NE(m_container->pVertexBuffer, nullptr);
    D3DVERTEXBUFFER_DESC desc;
    m_container->pVertexBuffer->GetDesc(&desc);
    EXPECT_TRUE(desc.Usage & D3DUSAGE_WRITEONLY);
    EXPECT_EQ(desc.FVF, static_cast<DWORD>(D3DFVF_XYZ));
    EXPECT_NE(m_container->pIndexBuffer, nullptr);
    // Without materials it is not drawable the ordinary way.
    EXPECT_EQ(RenderMeshContainer(m_container, true), E_FAIL);
}

TEST_F(MeshLoaderTest, EffectMeshHasTheLayoutNormalsTangentsAndTheLoadsMaterials) {
    // Normals in the file point sideways; the loader computes its own.
    std::string sideways = SquareMesh("Effect", TwoMaterials("missing.png", "red.bmp"));
    sideways.replace(sideways.find("0.0;1.0;0.0;;"), 13, "1.0;0.0;0.0;;");
    Write("effect.x", kHeader + sideways);
    ASSERT_EQ(LoadMeshForEffect(&m_container, g_pd3dDevice, "effect.x"), S_OK);
    ID3DXMesh* mesh = m_container->MeshData.pMesh;
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 64u);
    D3DVERTEXELEMENT9 declared[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(mesh->GetDeclaration(declared), S_OK);
    const BYTE usages[] = {D3DDECLUSAGE_POSITION, D3DDECLUSAGE_NORMAL,   D3DDECLUSAGE_TEXCOORD,
                           D3DDECLUSAGE_TANGENT,  D3DDECLUSAGE_BINORMAL, D3DDECLUSAGE_COLOR};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(declared[i].Usage, usages[i]);
        EXPECT_EQ(declared[i].Type, i == 5 ? D3DDECLTYPE_D3DCOLOR : D3DDECLTYPE_FLOAT3);
    }
    EXPECT_EQ(declared[6].Stream, 0xFF);
    EXPECT_NE(m_container->pVertexDeclaration, nullptr);
    EXPECT_NE(m_container->pVertexBuffer, nullptr);
    EXPECT_NE(m_container->pIndexBuffer, nullptr);

    struct Vertex {
        D3DXVECTOR3 position, normal, texcoord, tangent, binormal;
        D3DCOLOR colour;
    };
    const Vertex* v = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&v), S_OK);
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(std::fabs(v[i].normal.y), 1.0f, 1e-4f);
        // u grows along +x on this square.
        EXPECT_NEAR(v[i].tangent.x, 1.0f, 1e-4f);
        EXPECT_NEAR(std::fabs(v[i].binormal.z), 1.0f, 1e-4f);
    }
    mesh->UnlockVertexBuffer();

    // The load's own materials, texture names included; no textures; one entry per subset.
    ASSERT_EQ(m_container->NumMaterials, 2u);
    ASSERT_NE(m_container->pAttributeTable, nullptr);
    EXPECT_EQ(m_container->ppTextures, nullptr);
    EXPECT_STREQ(m_container->pMaterials[0].pTextureFilename, "missing.png");
    EXPECT_STREQ(m_container->pMaterials[1].pTextureFilename, "red.bmp");
    EXPECT_EQ(m_container->pMaterials[0].MatD3D.Diffuse.g, 0.4f);
    ASSERT_NE(m_container->pEffects, nullptr);
    EXPECT_GT(m_container->pEffects[0].NumDefaults, 0u);
    for (DWORD d = 0; d < m_container->pEffects[0].NumDefaults; ++d) {
        EXPECT_NE(m_container->pEffects[0].pDefaults[d].pParamName, nullptr);
    }
    ASSERT_NE(m_container->pAdjacency, nullptr);
}

TEST_F(MeshLoaderTest, EffectMeshIsSortedBySubsetWithItsAdjacencyInStep) {
    ASSERT_EQ(LoadMeshForEffect(&m_container, g_pd3dDevice, "alternating.x"), S_OK);
    ASSERT_EQ(m_container->NumMaterials, 2u);
    for (DWORD i = 0; i < 2; ++i) {
        EXPECT_EQ(m_container->pAttributeTable[i].AttribId, i);
        EXPECT_EQ(m_container->pAttributeTable[i].FaceStart, 2 * i);
        EXPECT_EQ(m_container->pAttributeTable[i].FaceCount, 2u);
    }
    // Every neighbour named by the adjacency shares an edge (two corners) with the face, both ways.
    ID3DXMesh* mesh = m_container->MeshData.pMesh;
    const WORD* index = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, (void**)&index), S_OK);
    const DWORD* adjacency = m_container->pAdjacency;
    ASSERT_NE(adjacency, nullptr);
    int links = 0;
    for (DWORD f = 0; f < 4; ++f) {
        for (DWORD k = 0; k < 3; ++k) {
            const DWORD n = adjacency[3 * f + k];
            if (n == 0xFFFFFFFF) {
                continue;
            }
            ++links;
            ASSERT_LT(n, 4u);
            int shared = 0;
            for (int a = 0; a < 3; ++a) {
                for (int b = 0; b < 3; ++b) {
                    shared += index[3 * f + a] == index[3 * n + b];
                }
            }
            EXPECT_EQ(shared, 2) << "faces " << f << " and " << n;
            EXPECT_TRUE(adjacency[3 * n] == f || adjacency[3 * n + 1] == f || adjacency[3 * n + 2] == f);
        }
    }
    mesh->UnlockIndexBuffer();
    EXPECT_EQ(links, 6); // three inner edges, each seen from both sides
}

TEST_F(MeshLoaderTest, EffectMeshOfAFileWithoutMaterialsIsWhiteAndDrawable) {
    ASSERT_EQ(LoadMeshForEffect(&m_container, g_pd3dDevice, "plain.x"), S_OK);
    ASSERT_EQ(m_container->NumMaterials, 1u);
    ASSERT_NE(m_container->pMaterials, nullptr);
    const D3DCOLORVALUE& diffuse = m_container->pMaterials[0].MatD3D.Diffuse;
    EXPECT_EQ(diffuse.r + diffuse.g + diffuse.b + diffuse.a, 4.0f);
    EXPECT_EQ(m_container->pMaterials[0].pTextureFilename, nullptr);
    g_pd3dDevice->BeginScene();
    EXPECT_EQ(RenderMeshContainer(m_container, true), S_OK);
    g_pd3dDevice->EndScene();
}

TEST_F(MeshLoaderTest, VertexShaderIsAssembledWithItsOptionalDeclaration) {
    Write("pass.vsh", "vs_2_0\ndcl_position v0\nmov oPos, v0\n");
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    IDirect3DVertexShader9* shader = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(LoadVertexShader(&shader, g_pd3dDevice, "pass.vsh", elements, &declaration), S_OK);
    EXPECT_NE(shader, nullptr);
    EXPECT_NE(declaration, nullptr);
    SafeRelease(shader);
    SafeRelease(declaration);

    ASSERT_EQ(LoadVertexShader(&shader, g_pd3dDevice, "pass.vsh", elements, nullptr), S_OK);
    EXPECT_NE(shader, nullptr);
    SafeRelease(shader);

    EXPECT_EQ(LoadVertexShader(nullptr, g_pd3dDevice, "pass.vsh", nullptr, nullptr), E_FAIL);
    EXPECT_EQ(LoadVertexShader(&shader, g_pd3dDevice, nullptr, nullptr, nullptr), E_FAIL);
    Write("broken.vsh", "vs_2_0\nnot an instruction\n");
    EXPECT_TRUE(FAILED(LoadVertexShader(&shader, g_pd3dDevice, "broken.vsh", nullptr, nullptr)));
    EXPECT_TRUE(FAILED(LoadVertexShader(&shader, g_pd3dDevice, "none.vsh", nullptr, nullptr)));
    EXPECT_EQ(shader, nullptr);
}

} // namespace
