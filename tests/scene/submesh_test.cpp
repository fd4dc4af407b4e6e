// A frame's sub-meshes from X files the tests write: slots in file order, spheres and placed centres,
// meshes whose vertices cannot be read, files without meshes or that cannot be read, and the 500-slot
// limit.
#include "harness.h"
#include "scene/scene.h"
#include "unreadable_mesh.h"
#include "xfile_text.h"

#include <memory>
#include <new>

namespace {

class SubMeshTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        frame = new (bytes.get()) CFrame();
        // Tests run side by side in one folder: each writes a file of its own.
        file = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".x";
    }
    void TearDown() override {
        for (int i = 0; i < frame->subMeshCount && i < kMaxSubMeshes; ++i) {
            SafeRelease(frame->subMeshes[i]);
        }
        RemovePath(file.c_str());
        DeviceTest::TearDown();
    }
    int Load(const std::string& text) {
        WriteFileBytes(file.c_str(), text);
        return frame->LoadFromX(file.c_str(), g_pd3dDevice, 7);
    }

    std::string file;
    std::unique_ptr<BYTE[]> bytes{new BYTE[sizeof(CFrame)]()};
    CFrame* frame = nullptr;
};

std::string UnitBox(const char* name, float x, const std::string& children = "") {
    return xfile::Box(name, {x, 0, 0}, {x + 1, 1, 1}, children);
}

TEST_F(SubMeshTest, AMeshWithChildObjectsFillsOneSlot) {
    std::string normals = "MeshNormals { 1; 0.0;0.0;1.0;; 12;\n";
    for (int f = 0; f < 12; ++f) {
        normals += f < 11 ? "3;0,0,0;,\n" : "3;0,0,0;;\n";
    }
    const std::string children = xfile::MaterialList(12, {1, 1, 1, 1}) + normals + "}\n" +
                                 "MeshVertexColors { 1; 0;1.0;0.0;0.0;1.0;;; }\n";
    ASSERT_EQ(Load(xfile::Header() + UnitBox("M", 0, children)), 1);
    EXPECT_EQ(frame->subMeshCount, 1);
    EXPECT_EQ(frame->lastSubMeshIndex, 0);
    ASSERT_NE(frame->subMeshes[0], nullptr);
    EXPECT_EQ(frame->subMeshes[0]->GetNumFaces(), 12u);
    EXPECT_EQ(frame->subMeshes[0]->GetOptions() & D3DXMESH_SYSTEMMEM, static_cast<DWORD>(D3DXMESH_SYSTEMMEM));
}

TEST_F(SubMeshTest, MeshesInsideFramesFillSlotsInFileOrder) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const std::string text =
        xfile::Header() + UnitBox("Loose", 20) +
        xfile::Frame("Outer", xfile::FrameMatrix(identity) + xfile::Frame("Inner", UnitBox("First", 0)) +
                                  UnitBox("Second", 10));
    ASSERT_EQ(Load(text), 1);
    ASSERT_EQ(frame->subMeshCount, 3);
    EXPECT_EQ(frame->lastSubMeshIndex, 2);
    EXPECT_NEAR(frame->subMeshCentres[0].x, 20.5f, 1e-4f);
    EXPECT_NEAR(frame->subMeshCentres[1].x, 0.5f, 1e-4f);
    EXPECT_NEAR(frame->subMeshCentres[2].x, 10.5f, 1e-4f);
    EXPECT_NEAR(frame->subMeshRadii[1], std::sqrt(3.0f) / 2, 1e-4f);
}

TEST_F(SubMeshTest, PlacedCentresTakeThePositionAtLoadingTime) {
    frame->SetPosition(100, 0, -5);
    ASSERT_EQ(Load(xfile::Header() + UnitBox("M", 0)), 1);
    frame->SetPosition(0, 0, 0);
    EXPECT_NEAR(frame->subMeshPlacedCentres[0].x, 100.5f, 1e-4f);
    EXPECT_NEAR(frame->subMeshPlacedCentres[0].y, 0.5f, 1e-4f);
    EXPECT_NEAR(frame->subMeshPlacedCentres[0].z, -4.5f, 1e-4f);
}

TEST_F(SubMeshTest, AReferenceToAMeshLoadsItAgain) {
    const std::string text = xfile::Header() + UnitBox("M", 0) + xfile::Frame("F", xfile::Reference("M"));
    ASSERT_EQ(Load(text), 1);
    EXPECT_EQ(frame->subMeshCount, 2);
}

TEST_F(SubMeshTest, AMeshThatFailsToLoadTakesNoSlot) {
    const std::string broken = "Mesh Broken { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,7;; }\n";
    ASSERT_EQ(Load(xfile::Header() + broken + UnitBox("Good", 4)), 1);
    ASSERT_EQ(frame->subMeshCount, 1);
    EXPECT_NEAR(frame->subMeshCentres[0].x, 4.5f, 1e-4f);
}

// A loaded mesh whose vertices cannot be read has no sphere to give: it takes no slot, and no lock is left
// held or undone twice.
TEST_F(SubMeshTest, AMeshWhoseVerticesCannotBeReadTakesNoSlot) {
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(g_pd3dDevice, 1.0f, 1.0f, 1.0f, &box, nullptr), S_OK);
    for (HRESULT lockResult : {D3DERR_INVALIDCALL, S_OK}) {
        SCOPED_TRACE(lockResult == S_OK ? "a lock without a pointer" : "a refused lock");
        UnreadableMesh unreadable(box, lockResult);
        EXPECT_FALSE(frame->AddSubMesh(&unreadable));
        EXPECT_EQ(frame->subMeshCount, 0);
        EXPECT_EQ(unreadable.locksHeld, 0);
        EXPECT_EQ(unreadable.strayUnlocks, 0);
        frame->subMeshCount = 0; // the stand-in ends here: the tear-down must not release it
    }
    // The same mesh read through its own lock takes the slot: the refusals above were the lock's alone.
    ASSERT_TRUE(frame->AddSubMesh(box)); // the slot keeps the reference, and the tear-down releases it
    EXPECT_EQ(frame->subMeshCount, 1);
    EXPECT_NEAR(frame->subMeshRadii[0], std::sqrt(3.0f) / 2, 1e-4f);
}

TEST_F(SubMeshTest, AFileWithoutMeshesLeavesNoSlot) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ASSERT_EQ(Load(xfile::Header() + xfile::Frame("F", xfile::FrameMatrix(identity))), 1);
    EXPECT_EQ(frame->subMeshCount, 0);
    EXPECT_EQ(frame->lastSubMeshIndex, -1);
}

TEST_F(SubMeshTest, AFileThatCannotBeOpenedFailsWithTheCountsAtZero) {
    frame->subMeshCount = 9;
    frame->lastSubMeshIndex = 8;
    EXPECT_EQ(frame->LoadFromX("no such file.x", g_pd3dDevice, 0), 0);
    EXPECT_EQ(frame->subMeshCount, 0);
    EXPECT_EQ(frame->lastSubMeshIndex, 0);
    EXPECT_EQ(frame->LoadFromX(nullptr, g_pd3dDevice, 0), 0);
    WriteFileBytes(file.c_str(), "this is not an X file");
    EXPECT_EQ(frame->LoadFromX(file.c_str(), g_pd3dDevice, 0), 0);
    EXPECT_EQ(frame->subMeshCount, 0);
}

// Once the file opens the load reports success; what the platform could not read takes no slot.
TEST_F(SubMeshTest, TruncatedOrMalformedFilesLoadOnlyTheWholeMeshesBeforeTheFault) {
    const std::string whole = xfile::Header() + UnitBox("A", 0) + UnitBox("B", 5);
    const size_t second = whole.find("Mesh B");
    const struct {
        std::string text;
        int subMeshes;
    } cases[] = {
        // Cut inside the first mesh.
        {whole.substr(0, second / 2), 0},
        // Cut inside the second mesh, and the second mesh's closing brace lost: the first one stands.
        {whole.substr(0, second + 40), 1},
        {whole.substr(0, whole.size() - 3), 1},
        // A face with a vertex index out of range, and counts that do not match the data.
        {xfile::Header() + "Mesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,7;; }\n", 0},
        {xfile::Header() + "Mesh M { 2; 0.0;0.0;0.0;; }\n", 0},
        // A short frame matrix: the platform reads nothing of the file, the mesh after it included.
        {xfile::Header() + "Frame F { FrameTransformMatrix { 1.0,2.0;; } } " + UnitBox("After", 3), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Load(c.text), 1);
        EXPECT_EQ(frame->subMeshCount, c.subMeshes);
        EXPECT_EQ(frame->lastSubMeshIndex, c.subMeshes - 1);
        for (int i = 0; i < frame->subMeshCount; ++i) {
            ASSERT_NE(frame->subMeshes[i], nullptr);
            EXPECT_NEAR(frame->subMeshCentres[i].x, 0.5f, 1e-4f) << "the first mesh, A";
            SafeRelease(frame->subMeshes[i]);
        }
        frame->subMeshCount = 0;
    }
}

TEST_F(SubMeshTest, MeshesBeyondTheFiveHundredSlotsAreNotLoaded) {
    std::string text = xfile::Header();
    const std::vector<D3DXVECTOR3> triangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (int i = 0; i < kMaxSubMeshes + 2; ++i) {
        text += xfile::Mesh(nullptr, triangle, {{0, 1, 2}});
    }
    frame->mass = 123.0f; // the field after the slot arrays
    ASSERT_EQ(Load(text), 1);
    EXPECT_EQ(frame->subMeshCount, kMaxSubMeshes);
    EXPECT_EQ(frame->lastSubMeshIndex, kMaxSubMeshes - 1);
    EXPECT_NE(frame->subMeshes[kMaxSubMeshes - 1], nullptr);
    EXPECT_EQ(frame->mass, 123.0f);
}

} // namespace
