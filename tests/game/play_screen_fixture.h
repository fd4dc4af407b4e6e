// The play screen on a real device for the tests of its rules and its drawing: the screen's globals
// put back between cases, a clock the test feeds, and clicks made by setting the mouse fields as the
// mouse would set them.
#pragma once

#include "harness.h"
#include "services/test_seams.h"

#include "game/game.h"
#include "input/input.h"
#include "scene/scene.h"
#include "ui/button.h"
#include "ui/font.h"

#include <cstdlib>
#include <cstring>

namespace play_screen {

inline DWORD s_now = 0;
inline DWORD FedClock() {
    return s_now;
}

inline CButton* const kAllButtons[] = {&g_ColourButtons[0], &g_ColourButtons[1], &g_ColourButtons[2],
                                       &g_ColourButtons[3], &g_ColourButtons[4], &g_ExactLabel,
                                       &g_ColourLabel,      &g_HelpButtons[0],   &g_HelpButtons[1],
                                       &g_SolutionPanel,    &g_NewGameButton,    &g_GameExitButton};

inline void ResetPlayScreen() {
    for (CButton* button : kAllButtons) {
        *button = CButton{};
    }
    for (CFrame& peg : g_Pegs) {
        peg.visible = false;
        peg.colourIndex = 0;
        peg.pFirstMeshContainer = nullptr;
        peg.SetPosition(0.0f, 0.0f, 0.0f);
    }
    g_BoardFrame.pFirstMeshContainer = nullptr;
    g_PegCount = 0;
    g_ExactHits = 0;
    g_ColourHits = 0;
    g_bWon = 0;
    g_bLost = 0;
    g_bOverlay = 0;
    g_RowZ = 0.0f;
    g_StatusText[0] = '\0';
    g_Mouse.x = 0;
    g_Mouse.y = 0;
    memset(&g_Mouse.state, 0, sizeof(g_Mouse.state));
    srand(1);
}

// Where the cursor stands inside a button's hit box.
inline void PointAt(const CButton& button, bool pressed) {
    g_Mouse.x = static_cast<int>(button.x * button.scaleX) + 8;
    g_Mouse.y = static_cast<int>(button.y * 0.72f) + 8;
    g_Mouse.state.rgbButtons[0] = pressed ? 0x80 : 0;
}

class PlayScreenTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ResetPlayScreen();
        ASSERT_EQ(D3DXCreateSprite(g_pd3dDevice, &g_pSprite), S_OK);
        SetTimeSource(FedClock);
        s_now = 100000;
    }
    void TearDown() override {
        ReleaseScene();
        g_pFont = nullptr; // released above, but left set as the release leaves it
        ResetPlayScreen();
        DeviceTest::TearDown();
    }

    // One frame; the clock moves on by `ms` first.
    void Frame(DWORD ms = 16) {
        s_now += ms;
        GameFrame();
    }

    // Clicks a button as a player does: point at it, a frame to hover, then press for one frame.
    void Click(const CButton& button) {
        PointAt(button, false);
        Frame(250);
        PointAt(button, true);
        Frame();
        PointAt(button, false);
        Frame();
    }
};

} // namespace play_screen
