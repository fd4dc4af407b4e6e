// Scene frames: the constructor's field rules, the world matrix, the child and container lists, the
// update callback and collision object, and drawing with the device's WORLD transform.
#include "scene_test_util.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

bool MatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) {
        if (std::fabs(a[i] - b[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

// Frames are large; tests keep them zero-filled on the heap as static storage would be.
struct FrameStore {
    std::unique_ptr<BYTE[]> bytes{new BYTE[sizeof(CFrame)]()};
    CFrame* frame = new (bytes.get()) CFrame();
};

TEST(Frame, ConstructorSetsItsFieldsAndLeavesTheRestAsFound) {
    std::unique_ptr<BYTE[]> bytes(new BYTE[sizeof(CFrame)]);
    memset(bytes.get(), 0x11, sizeof(CFrame));
    const CFrame* f = new (bytes.get()) CFrame();

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_TRUE(MatrixNear(f->world, identity));
    EXPECT_TRUE(MatrixNear(f->local, identity));
    EXPECT_EQ(f->yaw, 0.0f);
    EXPECT_EQ(f->pitch, 0.0f);
    EXPECT_EQ(f->roll, 0.0f);
    EXPECT_EQ(f->radius, 0.0f);
    EXPECT_EQ(f->velocity, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(f->motionRotation, D3DXQUATERNION(0, 0, 0, 1));
    EXPECT_EQ(f->motionVectors[3], D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(f->motionScalar, 0.0f);
    EXPECT_EQ(f->motionExtra[1], D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(f->pFirstMeshContainer, nullptr);
    EXPECT_EQ(f->pCollisionObject, nullptr);
    EXPECT_EQ(f->pNextSibling, nullptr);
    EXPECT_EQ(f->pFirstChild, nullptr);
    EXPECT_EQ(f->pParent, nullptr);
    EXPECT_EQ(f->pUpdateCallback, nullptr);
    EXPECT_EQ(f->callbackSet, 0);
    EXPECT_EQ(f->visible, 0);
    EXPECT_EQ(f->collided, 0);
    EXPECT_EQ(f->flags[0] | f->flags[1], 0);

    // The game's and the physics' fields keep what the storage held.
    EXPECT_EQ(f->colourIndex, 0x11111111);
    EXPECT_EQ(f->userValue, 0x11111111);
    EXPECT_EQ(f->objectId, 0x11111111);
    EXPECT_EQ(f->subMeshCount, 0x11111111);
    EXPECT_EQ(f->subMeshes[kMaxSubMeshes - 1], reinterpret_cast<ID3DXMesh*>(0x1111111111111111ull));
    auto untouched = [](const void* field) { return *static_cast<const BYTE*>(field) == 0x11; };
    EXPECT_TRUE(untouched(&f->position));
    EXPECT_TRUE(untouched(&f->motionVectors[4]));
    EXPECT_TRUE(untouched(&f->userVector));
    EXPECT_TRUE(untouched(&f->worldCopy));
    EXPECT_TRUE(untouched(&f->mass));
}

TEST(Frame, WorldMatrixIsLocalThenRollPitchYawThenTranslation) {
    FrameStore store;
    CFrame& f = *store.frame;
    f.SetPosition(1.0f, 2.0f, 3.0f);
    f.UpdateWorldMatrix();
    D3DXMATRIX expected;
    D3DXMatrixTranslation(&expected, 1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(MatrixNear(f.world, expected));

    // Only yaw: a turn about y, then the move; +x turns to -z.
    f.yaw = D3DX_PI / 2;
    f.UpdateWorldMatrix();
    D3DXVECTOR3 p;
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXVec3TransformCoord(&p, &x, &f.world);
    EXPECT_NEAR(p.x, 1.0f, 1e-5f);
    EXPECT_NEAR(p.y, 2.0f, 1e-5f);
    EXPECT_NEAR(p.z, 2.0f, 1e-5f);

    // All three angles and a local matrix: the platform's yaw-pitch-roll turn is roll, pitch, yaw.
    f.yaw = 0.3f;
    f.pitch = -0.7f;
    f.roll = 1.1f;
    D3DXMatrixScaling(&f.local, 2.0f, 1.0f, 0.5f);
    f.UpdateWorldMatrix();
    D3DXMATRIX turn;
    D3DXMATRIX t;
    D3DXMatrixRotationYawPitchRoll(&turn, 0.3f, -0.7f, 1.1f);
    D3DXMatrixTranslation(&t, 1.0f, 2.0f, 3.0f);
    expected = f.local * turn * t;
    EXPECT_TRUE(MatrixNear(f.world, expected));
    EXPECT_TRUE(MatrixNear(f.worldCopy, expected));

    // A parent changes nothing.
    FrameStore parent;
    parent.frame->SetPosition(10.0f, 0.0f, 0.0f);
    parent.frame->yaw = 1.0f;
    parent.frame->AddChild(&f);
    f.UpdateWorldMatrix();
    EXPECT_TRUE(MatrixNear(f.world, expected));
}

int s_callbackCalls = 0;
CFrame* s_callbackFrame = nullptr;
int s_callbackValue = 0;
void CountingCallback(CFrame* frame, int value) {
    ++s_callbackCalls;
    s_callbackFrame = frame;
    s_callbackValue = value;
}

// Stands in for the collision library's object to see what the frame hands it.
class RecordingCollisionObject : public CCollisionObject {
public:
    void Release() override {}
    void AddTriangle(D3DXVECTOR3, D3DXVECTOR3, D3DXVECTOR3) override {}
    void Finish() override {}
    void SetTransform(const D3DXMATRIX* world) override { lastTransform = world; }
    int GetTriangleCount() const override { return 0; }
    bool TestAgainst(CCollisionObject*, int) override { return false; }
    const D3DXMATRIX* lastTransform = nullptr;
};

TEST(Frame, UpdateCallsTheCallbackAndPassesTheWorldToTheCollisionObject) {
    FrameStore store;
    CFrame& f = *store.frame;
    f.userValue = 42;
    s_callbackCalls = 0;
    EXPECT_EQ(f.SetUpdateCallback(CountingCallback), S_OK);
    EXPECT_EQ(f.callbackSet, 1);
    RecordingCollisionObject collision;
    f.pCollisionObject = &collision;
    f.UpdateWorldMatrix();
    EXPECT_EQ(s_callbackCalls, 1);
    EXPECT_EQ(s_callbackFrame, &f);
    EXPECT_EQ(s_callbackValue, 42);
    EXPECT_EQ(collision.lastTransform, &f.world);

    EXPECT_EQ(f.SetUpdateCallback(nullptr), E_FAIL);
    EXPECT_EQ(f.callbackSet, 0);
    f.UpdateWorldMatrix();
    EXPECT_EQ(s_callbackCalls, 1);
}

TEST(Frame, ChildrenAppendInOrderAndKeepTheirOwnSiblings) {
    FrameStore parent, first, second, third, tail;
    CFrame& p = *parent.frame;
    ASSERT_EQ(p.AddChild(first.frame), S_OK);
    ASSERT_EQ(p.AddChild(second.frame), S_OK);
    third.frame->SetNextSibling(tail.frame);
    ASSERT_EQ(p.AddChild(third.frame), S_OK);
    EXPECT_EQ(p.pFirstChild, first.frame);
    EXPECT_EQ(first.frame->GetNextSibling(), second.frame);
    EXPECT_EQ(second.frame->GetNextSibling(), third.frame);
    EXPECT_EQ(third.frame->GetNextSibling(), tail.frame);
    EXPECT_EQ(third.frame->pParent, &p);
    EXPECT_EQ(tail.frame->pParent, nullptr);

    DebugOutputRecorder recorder;
    EXPECT_EQ(p.AddChild(nullptr), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Failed in attempt to add an invalid child frame"));
    EXPECT_EQ(recorder.Outputs().size(), 3u);
    EXPECT_EQ(tail.frame->GetNextSibling(), nullptr);
}

TEST(Frame, ContainersAppendAndASharedContainerEndsOwnedByTheLastFrame) {
    FrameStore a, b;
    CMeshContainer first, second;
    DebugOutputRecorder recorder;
    EXPECT_EQ(a.frame->AddMeshContainer(nullptr), E_FAIL);
    EXPECT_TRUE(recorder.Outputs().empty());
    EXPECT_EQ(a.frame->AddMeshContainer(&first), S_OK);
    EXPECT_EQ(a.frame->AddMeshContainer(&second), S_OK);
    EXPECT_EQ(a.frame->pFirstMeshContainer, &first);
    EXPECT_EQ(first.GetNextMeshContainer(), &second);
    EXPECT_EQ(second.pOwnerFrame, a.frame);

    // Like the pegs: one container at the head of several frames' lists.
    CMeshContainer shared;
    EXPECT_EQ(b.frame->AddMeshContainer(&shared), S_OK);
    FrameStore c;
    EXPECT_EQ(c.frame->AddMeshContainer(&shared), S_OK);
    EXPECT_EQ(b.frame->pFirstMeshContainer, &shared);
    EXPECT_EQ(c.frame->pFirstMeshContainer, &shared);
    EXPECT_EQ(shared.pOwnerFrame, c.frame);
    EXPECT_EQ(shared.GetNextMeshContainer(), nullptr);
}

using FrameDrawTest = DeviceTest;

TEST_F(FrameDrawTest, GetWorldMatrixAlsoSetsTheDevicesWorld) {
    FrameStore store;
    store.frame->SetPosition(4.0f, -2.0f, 7.0f);
    store.frame->pitch = 0.5f;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_pd3dDevice->SetTransform(D3DTS_WORLD, &identity);
    D3DXMATRIX out;
    store.frame->GetWorldMatrix(&out);
    EXPECT_TRUE(MatrixNear(out, store.frame->world));
    D3DXMATRIX device;
    g_pd3dDevice->GetTransform(D3DTS_WORLD, &device);
    EXPECT_TRUE(MatrixNear(device, out));
}

TEST_F(FrameDrawTest, ChildrenDrawFirstWithTexturesAndTheWorldIsSetAgainForOwnContainers) {
    FrameStore parent, child;
    parent.frame->SetPosition(1.0f, 0.0f, 0.0f);
    child.frame->SetPosition(0.0f, 5.0f, 0.0f);
    parent.frame->AddChild(child.frame);
    CMeshContainer* own =
        MakeContainer(MakeQuadMesh(g_pd3dDevice, {{100, 100, 200, 200, 0xFFFFFFFF}}), {1}, true);
    CMeshContainer* childs =
        MakeContainer(MakeQuadMesh(g_pd3dDevice, {{300, 100, 400, 200, 0xFFFFFFFF}}), {1}, true);
    IDirect3DTexture9* red = MakeSolidTexture(g_pd3dDevice, 0xFFFF0000);
    own->ppTextures[0] = red;
    red->AddRef();
    childs->ppTextures[0] = red;
    parent.frame->AddMeshContainer(own);
    child.frame->AddMeshContainer(childs);

    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pd3dDevice->BeginScene();
    EXPECT_EQ(parent.frame->Render(false), S_OK);
    g_pd3dDevice->EndScene();
    UINT width = 0;
    const std::vector<uint32_t> pixels = ReadBackBuffer(&width);
    ASSERT_FALSE(pixels.empty());
    // The child used its texture; the parent bound none (the child's drawing left stage 0 empty).
    EXPECT_TRUE(ColourNear(PixelAt(pixels, width, 350, 150), 0xFF0000))
        << std::hex << PixelAt(pixels, width, 350, 150);
    EXPECT_TRUE(ColourNear(PixelAt(pixels, width, 150, 150), 0xFFFFFF))
        << std::hex << PixelAt(pixels, width, 150, 150);
    D3DXMATRIX device;
    g_pd3dDevice->GetTransform(D3DTS_WORLD, &device);
    EXPECT_TRUE(MatrixNear(device, parent.frame->world));

    // Without containers of its own the frame leaves the last child's matrix on the device.
    parent.frame->pFirstMeshContainer = nullptr;
    g_pd3dDevice->BeginScene();
    parent.frame->Render(false);
    g_pd3dDevice->EndScene();
    g_pd3dDevice->GetTransform(D3DTS_WORLD, &device);
    EXPECT_TRUE(MatrixNear(device, child.frame->world));
    delete own;
    delete childs;
}

} // namespace
