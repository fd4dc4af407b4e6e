// Losing the foreground takes both devices away; the next key test and the next poll find them lost
// and take them back once the window is in front again.
#include "input_support.h"

#include "platform/platform.h"

namespace {

struct SeenAcrossTheForeground {
    HRESULT keyboardRead = S_OK; // the device's own answer once the window is in the background
    HRESULT reportedLoss = S_OK; // the same read as the key test and the poll see it
    int keyInBackground = -1;    // S held
    HRESULT pollInBackground = S_OK;
    int xBeforeBackgroundFrame = -1;
    LONG motionKept = 0;
    int xAfterBackgroundFrame = -1;
    HRESULT keyboardReadAfterRegain = E_FAIL;
    int spaceAfterRegain = -1;
    HRESULT pollAfterRegain = E_FAIL;
    HRESULT mouseReadAfterRegain = E_FAIL;
    LONG motionAfterRegain = 0;
};

class ForegroundTest : public InputDeviceTest {
protected:
    void TearDown() override {
        if (m_other) {
            DestroyWindow(m_other);
        }
        InputDeviceTest::TearDown();
    }

    // One run; false when another process moved the foreground in between.
    bool Run(SeenAcrossTheForeground& seen) {
        seen = SeenAcrossTheForeground();
        if (!StartInput() || g_Mouse.Poll() != S_OK) {
            return false;
        }
        SendMotion(12, 6);
        FramesUntilCursorAt(12, 6); // the state holds the last read's motion
        seen.xBeforeBackgroundFrame = g_Mouse.x;

        {
            HeldKey s(DIK_S);
            if (!TakeForeground(m_other)) {
                return false;
            }
            BYTE keys[256];
            seen.keyboardRead = g_Keyboard.pDevice->GetDeviceState(sizeof(keys), keys);
            seen.reportedLoss = GetDeviceStateReportingLoss(g_Keyboard.pDevice, sizeof(keys), keys);
            seen.keyInBackground = g_Keyboard.IsKeyDown(DIK_S);
            seen.pollInBackground = g_Mouse.Poll();
            seen.motionKept = g_Mouse.state.lX;
            g_Mouse.UpdatePosition();
            seen.xAfterBackgroundFrame = g_Mouse.x;
            if (GetForegroundWindow() != m_other) {
                return false;
            }
        }

        if (!TakeForeground(m_window)) {
            return false;
        }
        g_Keyboard.IsKeyDown(DIK_SPACE); // finds the loss and takes the keyboard back
        BYTE keys[256];
        seen.keyboardReadAfterRegain = g_Keyboard.pDevice->GetDeviceState(sizeof(keys), keys);
        {
            HeldKey space(DIK_SPACE);
            Eventually([] { return g_Keyboard.IsKeyDown(DIK_SPACE) == 1; });
            seen.spaceAfterRegain = g_Keyboard.IsKeyDown(DIK_SPACE);
        }
        seen.pollAfterRegain = g_Mouse.Poll();
        DIMOUSESTATE state;
        seen.mouseReadAfterRegain = g_Mouse.pDevice->GetDeviceState(sizeof(state), &state);
        SendMotion(5, 0);
        seen.motionAfterRegain = FramesUntilCursorAt(g_Mouse.x + 5, g_Mouse.y).lX;
        return StillForeground();
    }

    HWND m_other = nullptr;
};

TEST_F(ForegroundTest, LostDevicesAreTakenBackOnlyInTheForeground) {
    m_other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 1100, 900, 20, 20, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(m_other, nullptr);
    SeenAcrossTheForeground seen;
    ASSERT_TRUE(RunUndisturbed([&] { return Run(seen); })) << "other windows kept taking the foreground";

    EXPECT_TRUE(FAILED(seen.keyboardRead)) << "the system took the keyboard away";
    if (IsRunningOnWine()) {
        EXPECT_EQ(seen.keyboardRead, DIERR_NOTACQUIRED);
    }
    EXPECT_EQ(seen.reportedLoss, DIERR_INPUTLOST);
    EXPECT_EQ(seen.keyInBackground, 0) << "in the background the keyboard cannot be taken back";
    EXPECT_EQ(seen.pollInBackground, S_OK) << "a refused re-acquire is not a failed poll";
    EXPECT_EQ(seen.xBeforeBackgroundFrame, 12);
    EXPECT_GT(seen.motionKept, 0) << "the state keeps the last read's motion";
    EXPECT_EQ(seen.xAfterBackgroundFrame, 12 + seen.motionKept) << "the kept motion is added again";

    EXPECT_EQ(seen.keyboardReadAfterRegain, DI_OK) << "the key test took the keyboard back";
    EXPECT_EQ(seen.spaceAfterRegain, 1);
    EXPECT_EQ(seen.pollAfterRegain, S_OK);
    EXPECT_EQ(seen.mouseReadAfterRegain, DI_OK) << "the poll took the mouse back";
    EXPECT_EQ(seen.motionAfterRegain, 5);
}

} // namespace
