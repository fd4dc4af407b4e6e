// The DirectInput object and the keyboard: set-up failures and their messages, keys read from the
// real device, the window procedure's S key, and a second set-up.
#include "input_support.h"
#include "shell/shell.h"

#include "game/game.h"

namespace {

class InputSetUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppGlobals();
        ResetInputGlobals();
        m_window = CreateTestWindow();
        ASSERT_NE(m_window, nullptr);
        g_hWnd = m_window;
        g_hInstance = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        ResetInputGlobals();
        ResetAppGlobals();
        DestroyTestWindow(m_window);
    }
    HWND m_window = nullptr;
};

TEST_F(InputSetUpTest, WithoutSetUpNoKeyIsDownAndTheMouseIsNotRead) {
    for (int key = 0; key < 256; ++key) {
        ASSERT_EQ(g_Keyboard.IsKeyDown(key), 0) << key;
    }
    g_Mouse.state.lX = 7;
    EXPECT_EQ(g_Mouse.Poll(), E_FAIL);
    EXPECT_EQ(g_Mouse.state.lX, 7) << "a poll without a device leaves the state alone";
}

TEST_F(InputSetUpTest, DevicesNeedTheDirectInputObjectAndSaySoSilently) {
    DebugOutputRecorder recorder;
    EXPECT_EQ(g_Keyboard.Init(), E_FAIL);
    EXPECT_EQ(g_Mouse.Init(), E_FAIL);
    EXPECT_TRUE(recorder.Outputs().empty());
    EXPECT_EQ(g_Keyboard.pDevice, nullptr);
    EXPECT_EQ(g_Mouse.pDevice, nullptr);
}

TEST_F(InputSetUpTest, AFailedObjectStopsTheSetUp) {
    g_hInstance = nullptr; // DirectInput refuses a null instance
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitInput(), E_FAIL);
    EXPECT_EQ(recorder.Outputs(),
              (std::vector<std::string>{"ERROR: ", "Failed to create DirectInput", "\n"}));
    EXPECT_EQ(g_Keyboard.pDevice, nullptr);
    EXPECT_EQ(g_Mouse.pDevice, nullptr);
}

TEST_F(InputSetUpTest, AFailedKeyboardStopsTheSetUpBeforeTheMouse) {
    g_hWnd = nullptr; // no window to cooperate with
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitInput(), E_FAIL);
    EXPECT_EQ(recorder.Outputs(),
              (std::vector<std::string>{"ERROR: ", "Unable to set keyboard cooperative level", "\n",
                                        "ERROR: ", "Failed to initialize keyboard", "\n"}));
    EXPECT_NE(g_pDirectInput, nullptr);
    EXPECT_NE(g_Keyboard.pDevice, nullptr) << "the created device stays";
    EXPECT_EQ(g_Keyboard.acquired, 0);
    EXPECT_EQ(g_Mouse.pDevice, nullptr) << "the mouse is not set up";
    EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_S), 0);
    EXPECT_EQ(g_Mouse.Poll(), E_FAIL);
}

TEST_F(InputSetUpTest, AKeyboardOutOfTheForegroundIsNotAcquired) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(TakeForeground(other));
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitInput(), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to acquire the keyboard"));
    EXPECT_TRUE(recorder.HasErrorLine("Failed to initialize keyboard"));
    EXPECT_EQ(g_Keyboard.acquired, 0);
    EXPECT_EQ(g_Mouse.pDevice, nullptr);
    DestroyWindow(other);
}

TEST_F(InputSetUpTest, ReleasingIsSafeTwiceAndBeforeAnySetUp) {
    g_Keyboard.Release();
    g_Mouse.Release();
    ReleaseInput();
    ASSERT_EQ(DirectInput8Create(g_hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                 reinterpret_cast<void**>(&g_pDirectInput), nullptr),
              DI_OK);
    ReleaseInput();
    EXPECT_EQ(g_pDirectInput, nullptr);
    ReleaseInput();
}

using KeyboardDeviceTest = InputDeviceTest;

TEST_F(KeyboardDeviceTest, SAndSpaceReachTheKeyTest) {
    ASSERT_TRUE(StartInput());
    EXPECT_EQ(g_Keyboard.acquired, 1);
    EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_S), 0);
    {
        HeldKey s(DIK_S);
        EXPECT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_S) == 1; }));
        EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_S), 1) << "a held key answers on every call";
        EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_SPACE), 0);
    }
    EXPECT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_S) == 0; }));
    {
        HeldKey space(DIK_SPACE);
        EXPECT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_SPACE) == 1; }));
        EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_S), 0);

        g_Keyboard.acquired = 0;
        EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_SPACE), 0) << "not acquired: the device is not read";
        g_Keyboard.acquired = 1;
        EXPECT_EQ(g_Keyboard.IsKeyDown(DIK_SPACE), 1);
    }
    EXPECT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_SPACE) == 0; }));
    EXPECT_EQ(g_Keyboard.IsKeyDown(-1), 0);
    EXPECT_EQ(g_Keyboard.IsKeyDown(256), 0);
}

TEST_F(KeyboardDeviceTest, TheWindowProcedureCountsAScreenshotOnlyWhileSIsDown) {
    ASSERT_TRUE(StartInput());
    g_ScreenshotCount = 0;
    g_bOverlay = 0;
    WndProc(m_window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(g_ScreenshotCount, 0);
    {
        HeldKey s(DIK_S);
        ASSERT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_S) == 1; }));
        WndProc(m_window, WM_KEYDOWN, 'S', 0);
        WndProc(m_window, WM_KEYDOWN, 'S', 0); // an auto-repeated key message
        EXPECT_EQ(g_ScreenshotCount, 2);
    }
    ASSERT_TRUE(Eventually([] { return g_Keyboard.IsKeyDown(DIK_S) == 0; }));
    WndProc(m_window, WM_KEYDOWN, 'S', 0);
    EXPECT_EQ(g_ScreenshotCount, 2);
}

TEST_F(KeyboardDeviceTest, ASecondSetUpReleasesTheFirstObjectAndDevices) {
    struct Seen {
        ULONG keyboardRefs, mouseRefs, objectRefs;
    } seen = {};
    const bool undisturbed = RunUndisturbed([&] {
        if (!StartInput()) {
            return false;
        }
        IDirectInput8A* firstObject = g_pDirectInput;
        IDirectInputDevice8A* firstKeyboard = g_Keyboard.pDevice;
        IDirectInputDevice8A* firstMouse = g_Mouse.pDevice;
        firstObject->AddRef();
        firstKeyboard->AddRef();
        firstMouse->AddRef();
        const bool again = InitInput() == S_OK && StillForeground();
        // Only the references taken here are left when the set-up released its own (the devices hold
        // the object, so they go first).
        seen = {firstKeyboard->Release(), firstMouse->Release(), firstObject->Release()};
        return again;
    });
    ASSERT_TRUE(undisturbed) << "other windows kept taking the foreground";
    EXPECT_EQ(seen.keyboardRefs, 0u);
    EXPECT_EQ(seen.mouseRefs, 0u);
    EXPECT_EQ(seen.objectRefs, 0u);
    EXPECT_EQ(g_Keyboard.acquired, 1);
    EXPECT_EQ(g_Mouse.acquired, 1);
    BYTE keys[256];
    EXPECT_EQ(g_Keyboard.pDevice->GetDeviceState(sizeof(keys), keys), DI_OK);
}

} // namespace
