// The mouse: the clamped cursor position, the state accessors, the set-up's failures, and relative
// motion and the left button read from the real device.
#include "input_support.h"

namespace {

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppGlobals();
        ResetInputGlobals();
    }
    void TearDown() override {
        ResetInputGlobals();
        ResetAppGlobals();
    }
};

TEST_F(MouseTest, MotionIsClampedToTheCursorRange) {
    const struct {
        int startX, startY, dx, dy, x, y;
    } cases[] = {
        {0, 0, -5, -3, 0, 0},              // below 0 stops at 0
        {10, 10, -15, 4, 0, 14},           // one axis at a time
        {1270, 1000, 20, 30, 1279, 1023},  // past the range
        {1100, 900, 100, 200, 1200, 1023}, // beyond the visible 1024 x 768 already
        {0, 0, 2000, 0, 1279, 0},          // one large motion
        {0, 0, 0, 2000, 0, 1023},
        {1279, 1023, -2000, -2000, 0, 0},
        {500, 400, 3, -7, 503, 393}, // taken one to one
    };
    for (const auto& c : cases) {
        g_Mouse.SetPosition(c.startX, c.startY);
        g_Mouse.state.lX = c.dx;
        g_Mouse.state.lY = c.dy;
        g_Mouse.UpdatePosition();
        int x = -1, y = -1;
        g_Mouse.GetPosition(&x, &y);
        EXPECT_EQ(x, c.x) << c.startX << "," << c.startY << " by " << c.dx << "," << c.dy;
        EXPECT_EQ(y, c.y) << c.startX << "," << c.startY << " by " << c.dx << "," << c.dy;
    }
}

TEST_F(MouseTest, SetPositionClampsAndMoveByDoesNotUntilTheNextUpdate) {
    g_Mouse.SetPosition(-3, 2000);
    EXPECT_EQ(g_Mouse.x, 0);
    EXPECT_EQ(g_Mouse.y, 1023);
    g_Mouse.SetPosition(5000, -1);
    EXPECT_EQ(g_Mouse.x, 1279);
    EXPECT_EQ(g_Mouse.y, 0);

    g_Mouse.SetPosition(1270, 5);
    g_Mouse.MoveBy(100, -50);
    int x = 0, y = 0;
    g_Mouse.GetPosition(&x, &y);
    EXPECT_EQ(x, 1370);
    EXPECT_EQ(y, -45);
    g_Mouse.UpdatePosition(); // no motion in the state
    EXPECT_EQ(g_Mouse.x, 1279);
    EXPECT_EQ(g_Mouse.y, 0);
}

TEST_F(MouseTest, AFailedReadAddsTheLastMotionAgain) {
    g_Mouse.SetPosition(100, 100);
    g_Mouse.state.lX = 4; // what the last read left
    g_Mouse.state.lY = -2;
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(g_Mouse.Poll(), E_FAIL);
        g_Mouse.UpdatePosition();
    }
    EXPECT_EQ(g_Mouse.x, 108);
    EXPECT_EQ(g_Mouse.y, 96);
    const MouseDelta delta = g_Mouse.GetDelta();
    EXPECT_EQ(delta.lX, 4);
    EXPECT_EQ(delta.lY, -2);
}

TEST_F(MouseTest, ButtonsAreBitSevenOfTheirBytes) {
    const BYTE buttons[4] = {0x80, 0x00, 0xFF, 0x7F};
    memcpy(g_Mouse.state.rgbButtons, buttons, sizeof(buttons));
    EXPECT_EQ(g_Mouse.IsButtonDown(0), 1);
    EXPECT_EQ(g_Mouse.IsButtonDown(1), 0);
    EXPECT_EQ(g_Mouse.IsButtonDown(2), 1);
    EXPECT_EQ(g_Mouse.IsButtonDown(3), 0);
    EXPECT_EQ(g_Mouse.IsButtonDown(-1), 0);
    EXPECT_EQ(g_Mouse.IsButtonDown(4), 0);
}

TEST_F(MouseTest, TheHardwareCursorNeedsTheDeviceAndItsPermission) {
    EXPECT_EQ(g_Mouse.ShowHardwareCursor(), 0);
    g_Mouse.hardwareCursor = 1;
    EXPECT_EQ(g_Mouse.ShowHardwareCursor(), 0) << "not acquired";
    g_Mouse.hardwareCursor = 0;
    g_Mouse.acquired = 1;
    EXPECT_EQ(g_Mouse.ShowHardwareCursor(), 0) << "not allowed";
    g_Mouse.acquired = 0;
}

TEST_F(MouseTest, SetUpFailuresAreReported) {
    HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    g_hInstance = GetModuleHandleA(nullptr);
    ASSERT_EQ(DirectInput8Create(g_hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                 reinterpret_cast<void**>(&g_pDirectInput), nullptr),
              DI_OK);
    DebugOutputRecorder recorder;

    g_hWnd = nullptr;
    EXPECT_EQ(g_Mouse.Init(), E_FAIL);
    EXPECT_EQ(recorder.Outputs(), (std::vector<std::string>{
                                      "ERROR: ", "Unable to set the cooperative level for the mouse", "\n"}));
    EXPECT_NE(g_Mouse.pDevice, nullptr) << "the created device stays";
    EXPECT_EQ(g_Mouse.acquired, 0);

    // A window out of the foreground cannot have the mouse.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(TakeForeground(other));
    g_hWnd = window;
    recorder.Clear();
    EXPECT_EQ(g_Mouse.Init(), E_FAIL);
    EXPECT_EQ(recorder.Outputs(), (std::vector<std::string>{"ERROR: ", "Unable to acquire mouse", "\n"}));
    EXPECT_EQ(g_Mouse.acquired, 0);
    EXPECT_EQ(g_Mouse.Poll(), E_FAIL);

    DestroyWindow(other);
    ResetInputGlobals();
    DestroyTestWindow(window);
}

using MouseDeviceTest = InputDeviceTest;

TEST_F(MouseDeviceTest, TheSetUpAcquiresTheMouseAndLoadsTheCursor) {
    DebugOutputRecorder recorder;
    ASSERT_TRUE(StartInput());
    EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
    EXPECT_EQ(g_Mouse.acquired, 1);
    EXPECT_EQ(g_Mouse.x, 0);
    EXPECT_EQ(g_Mouse.y, 0);
    ASSERT_NE(g_Mouse.pCursorTexture, nullptr);
    ASSERT_NE(g_Mouse.pSprite, nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(g_Mouse.pCursorTexture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 32u);
    EXPECT_EQ(desc.Height, 32u);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);

    g_Mouse.hardwareCursor = 1;
    EXPECT_EQ(g_Mouse.ShowHardwareCursor(), 1);
}

TEST_F(MouseDeviceTest, RelativeMotionAndTheLeftButtonReachTheCursor) {
    ASSERT_TRUE(StartInput());
    ASSERT_EQ(g_Mouse.Poll(), S_OK); // whatever moved since the acquire

    SendMotion(30, 20);
    const MouseDelta read = FramesUntilCursorAt(30, 20);
    EXPECT_EQ(g_Mouse.x, 30);
    EXPECT_EQ(g_Mouse.y, 20);
    EXPECT_EQ(read.lX, 30) << "taken one to one";
    EXPECT_EQ(read.lY, 20);

    ASSERT_EQ(g_Mouse.Poll(), S_OK);
    EXPECT_EQ(g_Mouse.GetDelta().lX, 0) << "the motion is relative to the last read";
    EXPECT_EQ(g_Mouse.GetDelta().lY, 0);
    g_Mouse.UpdatePosition();
    EXPECT_EQ(g_Mouse.x, 30);

    SendLeftButton(true);
    EXPECT_TRUE(Eventually([] { return g_Mouse.Poll() == S_OK && g_Mouse.IsButtonDown(0) == 1; }));
    EXPECT_EQ(g_Mouse.state.rgbButtons[0] & 0x80, 0x80);
    EXPECT_EQ(g_Mouse.IsButtonDown(1), 0);
    SendLeftButton(false);
    EXPECT_TRUE(Eventually([] { return g_Mouse.Poll() == S_OK && g_Mouse.IsButtonDown(0) == 0; }));

    SendMotion(-50, 8);
    FramesUntilCursorAt(0, 28);
    EXPECT_EQ(g_Mouse.x, 0) << "clamped at the left edge";
    EXPECT_EQ(g_Mouse.y, 28);
}

} // namespace
