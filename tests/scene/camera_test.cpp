// The free-look camera: its initial and reset states, the axes rebuilt by an update, the per-update
// turns and moves, and the view it sets on the device.
#include "scene_test_util.h"

namespace {

void ExpectVectorNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

D3DXVECTOR3 Look(const CCamera& c) {
    D3DXVECTOR3 v;
    c.GetLook(&v.x, &v.y, &v.z);
    return v;
}

TEST(Camera, ConstructorLooksAlongMinusZAndResetAlongPlusZKeepingTheMove) {
    ExpectVectorNear(g_Camera.position, D3DXVECTOR3(0, 0, -1));
    ExpectVectorNear(g_Camera.look, D3DXVECTOR3(0, 0, -1));
    ExpectVectorNear(g_Camera.up, D3DXVECTOR3(0, 1, 0));
    ExpectVectorNear(g_Camera.right, D3DXVECTOR3(1, 0, 0));
    ExpectVectorNear(g_Camera.move, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(g_Camera.yawStep + g_Camera.pitchStep + g_Camera.rollStep, 0.0f);
    EXPECT_EQ(g_Camera.values[0], 5.0f);
    EXPECT_EQ(g_Camera.values[2], 5.0f);

    CCamera c;
    c.SetPosition(3, 4, 5);
    c.SetLook(1, 0, 0);
    c.SetMove(0.5f, 0, 0);
    c.SetYaw(0.1f);
    c.Reset();
    ExpectVectorNear(c.position, D3DXVECTOR3(0, 0, -1));
    ExpectVectorNear(Look(c), D3DXVECTOR3(0, 0, 1));
    ExpectVectorNear(c.move, D3DXVECTOR3(0.5f, 0, 0));
    float yaw = 1.0f;
    c.GetYaw(&yaw);
    EXPECT_EQ(yaw, 0.0f);
}

TEST(Camera, UpdateRebuildsTheAxesSquareToLook) {
    CCamera c;
    c.SetPosition(2, 3, 4);
    c.SetLook(0, 0, 1);
    c.UpdateView();
    ExpectVectorNear(c.right, D3DXVECTOR3(1, 0, 0));
    D3DXMATRIX expected;
    const D3DXVECTOR3 eye(2, 3, 4), at(2, 3, 5), up(0, 1, 0);
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    ExpectMatrixNear(c.view, expected);

    CCamera back;
    back.UpdateView(); // the constructor's look (0, 0, -1) with its right (1, 0, 0)
    ExpectVectorNear(back.right, D3DXVECTOR3(-1, 0, 0));

    // An up that leans toward look comes out perpendicular to it, and nothing is left unnormalised.
    CCamera lean;
    lean.SetLook(0, 0, 4);
    lean.SetUp(0, 1, 1);
    lean.SetRight(0, 0, 0);
    lean.UpdateView();
    EXPECT_NEAR(D3DXVec3Dot(&lean.up, &lean.look), 0.0f, 1e-6f);
    ExpectVectorNear(lean.up, D3DXVECTOR3(0, 1, 0));
    ExpectVectorNear(lean.look, D3DXVECTOR3(0, 0, 1));
}

TEST(Camera, StepsAndMoveApplyAtEveryUpdateUntilCleared) {
    CCamera c;
    c.SetPosition(0, 0, 0);
    c.SetLook(0, 0, 1);
    c.SetYaw(D3DX_PI / 2);
    c.UpdateView();
    ExpectVectorNear(Look(c), D3DXVECTOR3(1, 0, 0));
    c.UpdateView();
    ExpectVectorNear(Look(c), D3DXVECTOR3(0, 0, -1));
    c.SetYaw(0);
    c.UpdateView();
    ExpectVectorNear(Look(c), D3DXVECTOR3(0, 0, -1));

    // The move vector goes along the camera's axes (here right is -x and look is -z) each update.
    c.SetMove(1, 2, 3);
    c.UpdateView();
    ExpectVectorNear(c.position, D3DXVECTOR3(-1, 2, -3));
    c.UpdateView();
    ExpectVectorNear(c.position, D3DXVECTOR3(-2, 4, -6));

    // Move goes along the world's axes.
    c.Move(1, 1, 1);
    ExpectVectorNear(c.position, D3DXVECTOR3(-1, 5, -5));

    // A pitch step turns look about right; a roll step turns up about look.
    CCamera p;
    p.SetLook(0, 0, 1);
    p.SetPitch(D3DX_PI / 2);
    p.UpdateView();
    ExpectVectorNear(Look(p), D3DXVECTOR3(0, -1, 0));
    CCamera r;
    r.SetLook(0, 0, 1);
    r.SetRoll(D3DX_PI / 2);
    r.UpdateView();
    ExpectVectorNear(r.up, D3DXVECTOR3(-1, 0, 0));
}

TEST(Camera, CopyFromTakesAxesStepsAndMoveButNotViewOrValues) {
    CCamera source;
    source.SetPosition(1, 2, 3);
    source.SetLook(0, 1, 0);
    source.SetUp(0, 0, 1);
    source.SetRight(1, 0, 0);
    source.SetMove(4, 5, 6);
    source.SetYaw(0.1f);
    source.SetPitch(0.2f);
    source.SetRoll(0.3f);
    source.values[0] = 9.0f;
    D3DXMatrixIdentity(&source.view);
    CCamera copy;
    D3DXMatrixScaling(&copy.view, 2, 2, 2);
    EXPECT_EQ(&copy.CopyFrom(source), &copy);
    ExpectVectorNear(copy.position, source.position);
    ExpectVectorNear(copy.look, source.look);
    ExpectVectorNear(copy.up, source.up);
    ExpectVectorNear(copy.move, source.move);
    EXPECT_EQ(copy.yawStep, 0.1f);
    EXPECT_EQ(copy.pitchStep, 0.2f);
    EXPECT_EQ(copy.rollStep, 0.3f);
    EXPECT_EQ(copy.values[0], 5.0f);
    EXPECT_EQ(copy.view._11, 2.0f);
}

// The game's aim: eye (0, 25, 35) toward the origin with the seed (0, -1, 0), as the play screen does.
void AimAtOrigin(CCamera& c) {
    c.SetPosition(0, 25, 35);
    D3DXVECTOR3 look = -c.position;
    D3DXVec3Normalize(&look, &look);
    const D3DXVECTOR3 seed(0, -1, 0);
    D3DXVECTOR3 right;
    D3DXVECTOR3 up;
    D3DXVec3Cross(&right, &seed, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Cross(&up, &right, &look);
    D3DXVec3Normalize(&up, &up);
    c.SetLook(look.x, look.y, look.z);
    c.SetRight(right.x, right.y, right.z);
    c.SetUp(up.x, up.y, up.z);
    c.UpdateView();
}

using CameraDeviceTest = DeviceTest;

TEST_F(CameraDeviceTest, GamePlacementGivesTheLeftHandedLookAtOnTheDevice) {
    CCamera c;
    AimAtOrigin(c);
    D3DXMATRIX expected;
    const D3DXVECTOR3 eye(0, 25, 35), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    ExpectMatrixNear(c.view, expected);
    ExpectVectorNear(c.right, D3DXVECTOR3(-1, 0, 0));
    ExpectVectorNear(c.up, D3DXVECTOR3(0, 0.81373f, -0.58124f));
    D3DXMATRIX device;
    g_pd3dDevice->GetTransform(D3DTS_VIEW, &device);
    ExpectMatrixNear(device, expected);
}

// A flat square of side 2 on y = 0, centred on the frame's origin, in one colour.
ID3DXMesh* MakeFloorSquare(IDirect3DDevice9* device, D3DCOLOR colour) {
    struct Vertex {
        float x, y, z;
        D3DCOLOR colour;
    };
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMeshFVF(2, 4, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_DIFFUSE, device, &mesh))) {
        return nullptr;
    }
    Vertex* v = nullptr;
    WORD* index = nullptr;
    DWORD* attribute = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    v[0] = {-1, 0, -1, colour};
    v[1] = {-1, 0, 1, colour};
    v[2] = {1, 0, 1, colour};
    v[3] = {1, 0, -1, colour};
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&index));
    const WORD faces[6] = {0, 1, 2, 0, 2, 3};
    memcpy(index, faces, sizeof(faces));
    mesh->UnlockIndexBuffer();
    mesh->LockAttributeBuffer(0, &attribute);
    attribute[0] = attribute[1] = 0;
    mesh->UnlockAttributeBuffer();
    return mesh;
}

TEST_F(CameraDeviceTest, FramesSeenByTheAimedCameraLandWhereTheProjectionPutsThem) {
    CMeshContainer* square = MakeContainer(MakeFloorSquare(g_pd3dDevice, 0xFFFFFF00), {1.0f}, false);
    ASSERT_NE(square->MeshData.pMesh, nullptr);
    // Two frames sharing the container, at the board's first-row corner slots.
    std::unique_ptr<BYTE[]> store(new BYTE[2 * sizeof(CFrame)]());
    CFrame* left = new (store.get()) CFrame();
    CFrame* distant = new (store.get() + sizeof(CFrame)) CFrame();
    left->SetPosition(6.0f, 0.0f, 0.0f);
    distant->SetPosition(-6.0f, 0.0f, -31.3f);
    left->AddMeshContainer(square);
    distant->AddMeshContainer(square);

    CCamera c;
    UINT width = 0;
    UINT height = 0;
    const std::vector<uint32_t> pixels = DrawScene(
        0xFF000000,
        [&] {
            AimAtOrigin(c);
            left->Render(false);
            distant->Render(false);
        },
        &width, &height);
    ASSERT_FALSE(pixels.empty());

    for (const D3DXVECTOR3& centre : {D3DXVECTOR3(6, 0, 0), D3DXVECTOR3(-6, 0, -31.3f)}) {
        const D3DXVECTOR3 screen = ProjectToScreen(centre, c.view);
        SCOPED_TRACE(testing::Message() << "centre at " << screen.x << ", " << screen.y);
        const UINT x = static_cast<UINT>(screen.x);
        const UINT y = static_cast<UINT>(screen.y);
        ASSERT_LT(x, width);
        ASSERT_LT(y, height);
        EXPECT_TRUE(ColourNear(PixelAt(pixels, width, x, y), 0xFFFF00));
        // The mirror image across the screen's centre line stays empty: +x shows on the left.
        EXPECT_TRUE(ColourNear(PixelAt(pixels, width, width - 1 - x, y), 0x000000));
    }
    EXPECT_LT(ProjectToScreen(D3DXVECTOR3(6, 0, 0), c.view).x, width / 2.0f);
    delete square;
}

} // namespace
