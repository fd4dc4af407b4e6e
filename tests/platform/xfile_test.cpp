// The standard template block and GUIDs against Wine's X-file API, and the mesh load from a data object.
#include "harness.h"
#include "platform/platform.h"
#include "xfile_text.h"

#include <cstring>

namespace {

// An X-file object with the standard templates registered, enumerating a text held in memory.
class XFileReader {
public:
    explicit XFileReader(const std::string& text, bool registerTemplates = true) : m_text(text) {
        if (FAILED(D3DXFileCreate(&m_file))) {
            return;
        }
        if (registerTemplates && FAILED(m_file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES))) {
            return;
        }
        D3DXF_FILELOADMEMORY memory = {m_text.data(), m_text.size()};
        m_file->CreateEnumObject(&memory, D3DXF_FILELOAD_FROMMEMORY, &m_enum);
    }
    ~XFileReader() {
        SafeRelease(m_enum);
        SafeRelease(m_file);
    }
    XFileReader(const XFileReader&) = delete;
    XFileReader& operator=(const XFileReader&) = delete;

    ID3DXFile* File() const { return m_file; }
    ID3DXFileEnumObject* Enum() const { return m_enum; }

    // Top-level object `index`, which the caller releases; null when there is none.
    ID3DXFileData* Child(SIZE_T index) const {
        SIZE_T count = 0;
        ID3DXFileData* data = nullptr;
        if (m_enum && SUCCEEDED(m_enum->GetChildren(&count)) && index < count) {
            m_enum->GetChild(index, &data);
        }
        return data;
    }

private:
    std::string m_text;
    ID3DXFile* m_file = nullptr;
    ID3DXFileEnumObject* m_enum = nullptr;
};

GUID TypeOf(ID3DXFileData* data) {
    GUID type = {};
    data->GetType(&type);
    return type;
}

// The size of an object's own data, as the registered template lays it out.
SIZE_T DataSize(ID3DXFileData* data) {
    SIZE_T size = 0;
    const void* bytes = nullptr;
    if (SUCCEEDED(data->Lock(&size, &bytes))) {
        data->Unlock();
    }
    return size;
}

const std::vector<D3DXVECTOR3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

TEST(XFileTemplates, TheBlockIsTheBinaryFormOfTheStandardTemplates) {
    EXPECT_EQ(sizeof(D3DRM_XTEMPLATES), 3278u);
    EXPECT_EQ(memcmp(D3DRM_XTEMPLATES, "xof 0302bin 0064", 16), 0);
    // The first template: TOKEN_TEMPLATE (31), then TOKEN_NAME (1) with the name "Header".
    const unsigned char first[] = {31, 0, 1, 0, 6, 0, 0, 0, 'H', 'e', 'a', 'd', 'e', 'r', 10, 0, 5, 0};
    EXPECT_EQ(memcmp(D3DRM_XTEMPLATES + 16, first, sizeof(first)), 0);
}

TEST(XFileTemplates, TheGuidsAreTheStandardOnes) {
    const GUID mesh = {0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    const GUID frame = {0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    const GUID matrix = {0xF6F23F41, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
    EXPECT_EQ(TID_D3DRMMesh, mesh);
    EXPECT_EQ(TID_D3DRMFrame, frame);
    EXPECT_EQ(TID_D3DRMFrameTransformMatrix, matrix);
}

TEST(XFileTemplates, AFileWithoutTemplatesOfItsOwnReadsOnlyOnceTheBlockIsRegistered) {
    const std::string text = xfile::Header() + xfile::Frame("F", xfile::Mesh("M", kTriangle, {{0, 1, 2}}));
    XFileReader without(text, false);
    ASSERT_NE(without.File(), nullptr);
    EXPECT_EQ(without.Child(0), nullptr) << "Frame and Mesh are known without the block";
    XFileReader with(text);
    ASSERT_NE(with.Enum(), nullptr);
    ID3DXFileData* frame = with.Child(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(TypeOf(frame), TID_D3DRMFrame);
    frame->Release();
}

TEST(XFileTemplates, ObjectsReportTheStandardTemplateGuids) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1.0f, 2.0f, 3.0f);
    const std::string text =
        xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(m) + xfile::Mesh("M", kTriangle, {{0, 1, 2}}));
    XFileReader reader(text);
    ID3DXFileData* frame = reader.Child(0);
    ASSERT_NE(frame, nullptr);
    SIZE_T children = 0;
    frame->GetChildren(&children);
    ASSERT_EQ(children, 2u);
    ID3DXFileData* matrix = nullptr;
    ID3DXFileData* mesh = nullptr;
    frame->GetChild(0, &matrix);
    frame->GetChild(1, &mesh);
    ASSERT_NE(matrix, nullptr);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(TypeOf(matrix), TID_D3DRMFrameTransformMatrix);
    EXPECT_EQ(TypeOf(mesh), TID_D3DRMMesh);
    EXPECT_FALSE(TypeOf(mesh) == TID_D3DRMFrame);

    // Sixteen floats; the mesh: a count, three 3-float vectors, a count and one face of four DWORDs.
    EXPECT_EQ(DataSize(matrix), 64u);
    EXPECT_EQ(DataSize(mesh), 4u + 3 * 12 + 4 + 16);
    SIZE_T size = 0;
    const void* bytes = nullptr;
    ASSERT_EQ(matrix->Lock(&size, &bytes), S_OK);
    EXPECT_EQ(memcmp(bytes, &m, sizeof(m)), 0);
    matrix->Unlock();
    mesh->Release();
    matrix->Release();
    frame->Release();
}

TEST(XFileTemplates, EveryKindOfMeshChildReads) {
    // Normals, texture coordinates, vertex colours, a material with a texture name, an animation set
    // and a property bag: each uses templates of the block that the previous tests do not.
    // (Wine reads a FLOAT member only when written with a decimal point.)
    const std::string children =
        "MeshNormals { 1; 0.0;0.0;1.0;; 1; 3;0,0,0;;; }\n"
        "MeshTextureCoords { 3; 0.0;0.0;, 1.0;0.0;, 0.0;1.0;; }\n"
        "MeshVertexColors { 1; 0;1.0;0.0;0.0;1.0;;; }\n"
        "MeshMaterialList { 1; 1; 0;; Material { 1.0;1.0;1.0;1.0;; 2.0; 0.0;0.0;0.0;; "
        "0.0;0.0;0.0;; TextureFilename { \"t.png\"; } } }\n";
    const std::string text =
        xfile::Header() + xfile::Mesh("M", kTriangle, {{0, 1, 2}}, children) +
        "AnimationSet { Animation { AnimationKey { 2; 1; 0; 3; 1.0,2.0,3.0;;; } { M } } }\n"
        "PropertyBag { StringProperty { \"k\"; \"v\"; } }\n";
    XFileReader reader(text);
    ASSERT_NE(reader.Enum(), nullptr);
    ID3DXFileData* mesh = reader.Child(0);
    ID3DXFileData* animations = reader.Child(1);
    ID3DXFileData* bag = reader.Child(2);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(animations, nullptr);
    ASSERT_NE(bag, nullptr);
    SIZE_T children_count = 0;
    mesh->GetChildren(&children_count);
    EXPECT_EQ(children_count, 4u);
    bag->Release();
    animations->Release();
    mesh->Release();
}

// The mesh of the first top-level object of an X text, loaded through the stand-in.
class LoadMeshFromXofTest : public DeviceTest {
protected:
    HRESULT Load(const std::string& text) {
        XFileReader reader(text);
        ID3DXFileData* data = reader.Child(0);
        if (!data) {
            return E_UNEXPECTED;
        }
        const HRESULT hr = LoadMeshFromXof(data, D3DXMESH_SYSTEMMEM, g_pd3dDevice, &adjacency, &materials,
                                           nullptr, &materialCount, &mesh);
        data->Release();
        return hr;
    }
    void TearDown() override {
        SafeRelease(mesh);
        SafeRelease(adjacency);
        SafeRelease(materials);
        DeviceTest::TearDown();
    }

    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
};

TEST_F(LoadMeshFromXofTest, LoadsTheMeshWithItsMaterialsAndAdjacency) {
    const D3DCOLORVALUE red = {1.0f, 0.0f, 0.0f, 0.5f};
    ASSERT_EQ(Load(xfile::Header() + xfile::Box("B", {0, 0, 0}, {1, 2, 3}, xfile::MaterialList(12, red))),
              S_OK);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetNumVertices(), 8u);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_SYSTEMMEM, static_cast<DWORD>(D3DXMESH_SYSTEMMEM));
    ASSERT_NE(adjacency, nullptr);
    EXPECT_EQ(adjacency->GetBufferSize(), 12u * 3 * sizeof(DWORD));
    ASSERT_EQ(materialCount, 1u);
    const D3DXMATERIAL* material = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_FLOAT_EQ(material->MatD3D.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(material->MatD3D.Diffuse.a, 0.5f);

    D3DXVECTOR3 low;
    D3DXVECTOR3 high;
    void* vertices = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices), S_OK);
    D3DXComputeBoundingBox(static_cast<D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                           mesh->GetNumBytesPerVertex(), &low, &high);
    mesh->UnlockVertexBuffer();
    EXPECT_EQ(low, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(high, D3DXVECTOR3(1, 2, 3));
}

TEST_F(LoadMeshFromXofTest, ASkinnedMeshLoadsWithoutItsSkin) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const std::string skin =
        xfile::SkinHeader(1, 1, 1) + xfile::SkinWeights("bone", {0, 1, 2}, {1, 1, 1}, identity);
    ASSERT_EQ(Load(xfile::Header() + xfile::SkinTemplates() + xfile::Mesh("S", kTriangle, {{0, 1, 2}}, skin)),
              S_OK);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);
    EXPECT_EQ(materialCount, 0u);
}

TEST_F(LoadMeshFromXofTest, AnObjectThatIsNotAMeshFails) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_TRUE(FAILED(Load(xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(identity)))));
    EXPECT_EQ(mesh, nullptr);
}

} // namespace
