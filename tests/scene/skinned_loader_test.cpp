// Containers made from the mesh data objects of an X file: the object's name, the skin kept only when
// it has bones, the skinned working copy, materials and the FVF clone.
#include "scene_test_util.h"

#include <d3dx9xof.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The templates these files use, in the text form of the X file format.
const char kTemplates[] =
    "xof 0303txt 0032\n"
    "template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }\n"
    "template Coords2d { <F6F23F44-7686-11cf-8F52-0040333594A3> FLOAT u; FLOAT v; }\n"
    "template Matrix4x4 { <F6F23F45-7686-11cf-8F52-0040333594A3> array FLOAT matrix[16]; }\n"
    "template ColorRGBA { <35FF44E0-6C7C-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; "
    "FLOAT blue; FLOAT alpha; }\n"
    "template ColorRGB { <D3E16E81-7835-11cf-8F52-0040333594A3> FLOAT red; FLOAT green; "
    "FLOAT blue; }\n"
    "template TextureFilename { <A42790E1-7810-11cf-8F52-0040333594A3> STRING filename; }\n"
    "template Material { <3D82AB4D-62DA-11cf-AB39-0020AF71E433> ColorRGBA faceColor; "
    "FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...] }\n"
    "template MeshFace { <3D82AB5F-62DA-11cf-AB39-0020AF71E433> DWORD nFaceVertexIndices; "
    "array DWORD faceVertexIndices[nFaceVertexIndices]; }\n"
    "template MeshTextureCoords { <F6F23F40-7686-11cf-8F52-0040333594A3> DWORD "
    "nTextureCoords; array Coords2d textureCoords[nTextureCoords]; }\n"
    "template MeshMaterialList { <F6F23F42-7686-11cf-8F52-0040333594A3> DWORD nMaterials; "
    "DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; [Material] }\n"
    "template MeshNormals { <F6F23F43-7686-11cf-8F52-0040333594A3> DWORD nNormals; "
    "array Vector normals[nNormals]; DWORD nFaceNormals; "
    "array MeshFace faceNormals[nFaceNormals]; }\n"
    "template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; "
    "array Vector vertices[nVertices]; DWORD nFaces; array MeshFace faces[nFaces]; [...] }\n"
    "template XSkinMeshHeader { <3CF169CE-FF7C-44ab-93C0-F78F62D172E2> "
    "WORD nMaxSkinWeightsPerVertex; WORD nMaxSkinWeightsPerFace; WORD nBones; }\n"
    "template SkinWeights { <6F0D123B-BAD2-4167-A0D0-80224F25FABB> STRING transformNodeName; "
    "DWORD nWeights; array DWORD vertexIndices[nWeights]; array FLOAT weights[nWeights]; "
    "Matrix4x4 matrixOffset; }\n";

const GUID kMeshTemplate = {0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};

// A triangle with one material; `name` may be empty, `extra` goes inside the Mesh.
std::string Triangle(const std::string& name, const std::string& extra) {
    return "Mesh " + name +
           " {\n 3;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;0.0;1.0;;\n 1;\n 3;0,2,1;;\n"
           " MeshMaterialList {\n  1;\n  1;\n  0;\n  Material {\n   0.1;0.2;0.3;1.0;;\n   4.0;\n"
           "   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n }\n" +
           extra + "}\n";
}

const char kOneBone[] = " XSkinMeshHeader {\n  1;\n  1;\n  1;\n }\n"
                        " SkinWeights {\n  \"Arm\";\n  3;\n  0,\n  1,\n  2;\n  1.0,\n  1.0,\n  1.0;\n"
                        "  1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;\n }\n";

// Normals and texture coordinates give the file's vertices 32 bytes.
const char kNormalsAndCoords[] =
    " MeshNormals {\n  3;\n  0.0;1.0;0.0;,\n  0.0;1.0;0.0;,\n  0.0;1.0;0.0;;\n  1;\n  3;0,2,1;;\n }\n"
    " MeshTextureCoords {\n  3;\n  0.0;0.0;,\n  1.0;0.0;,\n  0.0;1.0;;\n }\n";

// One bone whose SkinWeights name the vertices 0, 1 and `last`.
std::string OneBoneOn(const std::string& last) {
    return " XSkinMeshHeader {\n  1;\n  1;\n  1;\n }\n"
           " SkinWeights {\n  \"Arm\";\n  3;\n  0,\n  1,\n  " +
           last +
           ";\n  1.0,\n  1.0,\n  1.0;\n"
           "  1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;\n }\n";
}

std::vector<D3DXVECTOR3> Positions(ID3DXMesh* mesh) {
    std::vector<D3DXVECTOR3> positions;
    const BYTE* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY,
                                      reinterpret_cast<void**>(const_cast<BYTE**>(&vertices))))) {
        return positions;
    }
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i) {
        positions.push_back(
            *reinterpret_cast<const D3DXVECTOR3*>(vertices + i * mesh->GetNumBytesPerVertex()));
    }
    mesh->UnlockVertexBuffer();
    return positions;
}

class SkinnedContainerTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        m_file =
            std::string("skinned_") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".x";
        ASSERT_EQ(D3DXFileCreate(&m_xfile), S_OK);
        ASSERT_EQ(m_xfile->RegisterTemplates(kTemplates, sizeof(kTemplates) - 1), S_OK);
    }
    void TearDown() override {
        delete m_container;
        m_container = nullptr;
        SafeRelease(m_data);
        SafeRelease(m_enum);
        SafeRelease(m_xfile);
        RemovePath(m_file.c_str());
        DeviceTest::TearDown();
    }

    // Writes the file and opens its first top-level object, which must be a Mesh.
    void Open(const std::string& body) {
        WriteFileBytes(m_file.c_str(), "xof 0303txt 0032\n" + body);
        ASSERT_EQ(m_xfile->CreateEnumObject(m_file.c_str(), D3DXF_FILELOAD_FROMFILE, &m_enum), S_OK);
        ASSERT_EQ(m_enum->GetChild(0, &m_data), S_OK);
        GUID type = {};
        ASSERT_EQ(m_data->GetType(&type), S_OK);
        ASSERT_TRUE(IsEqualGUID(type, kMeshTemplate));
    }

    std::string m_file;
    ID3DXFile* m_xfile = nullptr;
    ID3DXFileEnumObject* m_enum = nullptr;
    ID3DXFileData* m_data = nullptr;
    CMeshContainer* m_container = nullptr;
};

TEST_F(SkinnedContainerTest, MeshWithoutBonesKeepsNoSkin) {
    Open(Triangle("Peg", ""));
    ASSERT_EQ(CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", 0, D3DXMESH_SYSTEMMEM),
              S_OK);
    EXPECT_STREQ(m_container->Name, "Peg");
    EXPECT_EQ(m_container->MeshData.Type, D3DXMESHTYPE_MESH);
    EXPECT_EQ(m_container->pSkinInfo, nullptr);
    EXPECT_EQ(m_container->pSkinnedMesh, nullptr);
    ASSERT_EQ(m_container->NumMaterials, 1u);
    EXPECT_EQ(m_container->pMaterials[0].MatD3D.Ambient.b, 0.3f);
    EXPECT_EQ(m_container->pMaterials[0].MatD3D.Power, 4.0f);
    EXPECT_EQ(m_container->ppTextures[0], nullptr);
    EXPECT_NE(m_container->pAdjacency, nullptr);
    EXPECT_EQ(m_container->pVertexBuffer, nullptr);
}

TEST_F(SkinnedContainerTest, MeshWithABoneKeepsItsSkinAndAWorkingCopy) {
    Open(Triangle("Body", kOneBone));
    ASSERT_EQ(CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", 0, D3DXMESH_SYSTEMMEM),
              S_OK);
    ASSERT_NE(m_container->pSkinInfo, nullptr);
    EXPECT_EQ(m_container->pSkinInfo->GetNumBones(), 1u);
    EXPECT_STREQ(m_container->pSkinInfo->GetBoneName(0), "Arm");
    ASSERT_NE(m_container->pSkinnedMesh, nullptr);
    EXPECT_NE(m_container->pSkinnedMesh, m_container->MeshData.pMesh);
    EXPECT_EQ(m_container->pSkinnedMesh->GetFVF(), m_container->MeshData.pMesh->GetFVF());
    EXPECT_EQ(m_container->pSkinnedMesh->GetNumVertices(), 3u);
}

TEST_F(SkinnedContainerTest, NamelessObjectHasNoNameAndTheFvfCloneIsKeptWithoutBuffers) {
    Open(Triangle("", ""));
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
    ASSERT_EQ(CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", fvf, D3DXMESH_MANAGED),
              S_OK);
    // The platform reports the size of an empty name (its terminating zero), so the name is empty.
    ASSERT_NE(m_container->Name, nullptr);
    EXPECT_STREQ(m_container->Name, "");
    EXPECT_EQ(m_container->MeshData.pMesh->GetFVF(), fvf);
    EXPECT_TRUE(m_container->MeshData.pMesh->GetOptions() & D3DXMESH_MANAGED);
    EXPECT_EQ(m_container->pVertexBuffer, nullptr);
    EXPECT_EQ(m_container->pIndexBuffer, nullptr);

    CMeshContainer* const untouched = m_container;
    EXPECT_EQ(CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, nullptr, 0, 0), E_FAIL);
    EXPECT_EQ(CreateSkinnedMeshContainer(&m_container, nullptr, m_data, ".\\", 0, 0), E_FAIL);
    EXPECT_TRUE(FAILED(CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", 0xFFFFFFFF, 0)));
    EXPECT_EQ(m_container, untouched);
}

TEST_F(SkinnedContainerTest, ASkinClonedToASmallerOrLargerFvfIsSkinnedInTheClonesLayout) {
    const DWORD smaller = D3DFVF_XYZ;
    const DWORD larger = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2;
    Open(Triangle("Body", std::string(kNormalsAndCoords) + OneBoneOn("2")));
    for (const DWORD fvf : {smaller, larger}) {
        delete m_container;
        m_container = nullptr;
        ASSERT_EQ(
            CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", fvf, D3DXMESH_SYSTEMMEM),
            S_OK);
        ASSERT_NE(m_container->pSkinInfo, nullptr);
        ASSERT_NE(m_container->pSkinnedMesh, nullptr);
        ASSERT_EQ(m_container->pSkinnedMesh->GetFVF(), fvf);
        EXPECT_EQ(m_container->pSkinInfo->GetFVF(), fvf) << "the skin describes the clone's vertices";

        // The bone moved by (10, 20, 30) moves every vertex by as much.
        D3DXMATRIX frame;
        D3DXMatrixTranslation(&frame, 10, 20, 30);
        m_container->ppBoneMatrixPtrs = static_cast<D3DXMATRIX**>(calloc(1, sizeof(D3DXMATRIX*)));
        m_container->pBoneMatrices = static_cast<D3DXMATRIX*>(calloc(1, sizeof(D3DXMATRIX)));
        m_container->ppBoneMatrixPtrs[0] = &frame;
        ASSERT_EQ(UpdateSkinnedMesh(m_container), S_OK);
        const std::vector<D3DXVECTOR3> source = Positions(m_container->MeshData.pMesh);
        const std::vector<D3DXVECTOR3> skinned = Positions(m_container->pSkinnedMesh);
        ASSERT_EQ(source.size(), 3u);
        ASSERT_EQ(skinned.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(skinned[i], source[i] + D3DXVECTOR3(10, 20, 30)) << fvf << " vertex " << i;
        }
    }

    // A skin changed afterwards to name a vertex the meshes lack: the update says so and writes nothing.
    const DWORD vertices[] = {0, 3};
    const float weights[] = {1.0f, 1.0f};
    ASSERT_EQ(m_container->pSkinInfo->SetBoneInfluence(0, 2, vertices, weights), S_OK);
    const std::vector<D3DXVECTOR3> before = Positions(m_container->pSkinnedMesh);
    EXPECT_EQ(UpdateSkinnedMesh(m_container), D3DERR_INVALIDCALL);
    EXPECT_EQ(Positions(m_container->pSkinnedMesh), before);
}

TEST_F(SkinnedContainerTest, SkinWeightsNamingAVertexBeyondTheMeshAreRefused) {
    Open(Triangle("Body", OneBoneOn("10000")));
    const HRESULT hr =
        CreateSkinnedMeshContainer(&m_container, g_pd3dDevice, m_data, ".\\", 0, D3DXMESH_SYSTEMMEM);
    EXPECT_EQ(hr, D3DXERR_INVALIDDATA);
    EXPECT_EQ(m_container, nullptr);
}

} // namespace
