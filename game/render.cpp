// One frame of the play screen: background, buttons, the pegs under the aimed camera, the status line
// and counts, the solution at the end of a game, and the cursor.
#include "game/game.h"

#include "services/device.h"
#include "ui/button.h"
#include "ui/font.h"
#include "input/input.h"
#include "scene/scene.h"

#include <cstdio>
#include <cstring>

char g_TextBuf[256];
D3DXVECTOR3 g_CameraTarget;

namespace {

const D3DXCOLOR kWhite(255.0f, 255.0f, 255.0f, 1.0f); // saturates to opaque white

// The buttons the rules read before the next frame's drawing, in drawing order.
CButton* const kFrameButtons[] = {
    &g_ColourButtons[0], &g_ColourButtons[1], &g_ColourButtons[2], &g_ColourButtons[3],
    &g_ColourButtons[4], &g_ExactLabel,       &g_ColourLabel,      &g_HelpButtons[0],
};

void DrawTexts() {
    DrawFontText(static_cast<int>(g_ScreenWidth * layout::kStatusX),
                 static_cast<int>(g_ScreenHeight * layout::kStatusY), g_StatusText, kWhite);
    const int countX = g_ScreenWidth * layout::kCountXPercent / 100;
    sprintf(g_TextBuf, "%d", g_ExactHits);
    DrawFontText(countX, g_ScreenHeight * layout::kExactCountYPercent / 100, g_TextBuf, kWhite);
    sprintf(g_TextBuf, "%d", g_ColourHits);
    DrawFontText(countX, g_ScreenHeight * layout::kColourCountYPercent / 100, g_TextBuf, kWhite);
}

// The solution panel, the end-of-game buttons and the secret spelled out in Italian.
void DrawSolution() {
    g_SolutionPanel.Render();
    g_NewGameButton.Render();
    g_GameExitButton.Render();
    strcpy(g_TextBuf, " ");
    for (int colour : g_SecretCode) {
        strcat(g_TextBuf, ColourSolutionWord(colour));
    }
    DrawFontText(static_cast<int>(g_ScreenWidth * layout::kSolutionX),
                 static_cast<int>(g_ScreenHeight * layout::kSolutionY), g_TextBuf, kWhite);
}

} // namespace

void AimCamera(D3DXVECTOR3 target) {
    D3DXVECTOR3 position;
    g_Camera.GetPosition(&position.x, &position.y, &position.z);
    D3DXVECTOR3 look = target - position;
    D3DXVec3Normalize(&look, &look);
    const D3DXVECTOR3 seed(0.0f, -1.0f, 0.0f);
    D3DXVECTOR3 right;
    D3DXVec3Cross(&right, &seed, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVECTOR3 up;
    D3DXVec3Cross(&up, &right, &look);
    D3DXVec3Normalize(&up, &up);
    g_Camera.SetLook(look.x, look.y, look.z);
    g_Camera.SetRight(right.x, right.y, right.z);
    g_Camera.SetUp(up.x, up.y, up.z);
    g_Camera.UpdateView();
}

void GameRender() {
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0x00000000, 1.0f,
                        0);

    g_pd3dDevice->BeginScene();
    if (g_pSprite && g_pBackgroundTexture) {
        g_pSprite->Begin(D3DXSPRITE_ALPHABLEND);
        const D3DXVECTOR3 back(0.0f, 0.0f, 1.0f);
        g_pSprite->Draw(g_pBackgroundTexture, nullptr, nullptr, &back, 0xFFFFFFFF);
        g_pSprite->End();
    }
    g_BoardFrame.GetPosition(&g_CameraTarget.x, &g_CameraTarget.y, &g_CameraTarget.z);
    AimCamera(g_CameraTarget);
    for (CButton* button : kFrameButtons) {
        button->Render();
    }
    if (g_bOverlay) {
        g_HelpButtons[1].Render();
    }
    g_pd3dDevice->EndScene();

    g_pd3dDevice->BeginScene();
    for (CFrame& peg : g_Pegs) {
        g_pd3dDevice->SetTexture(0, PegTexture(peg.colourIndex));
        if (peg.visible) {
            peg.Render(false);
        }
    }
    g_pd3dDevice->EndScene();

    g_pd3dDevice->BeginScene();
    DrawTexts();
    if (g_bWon || g_bLost) {
        DrawSolution();
    }
    g_pd3dDevice->EndScene();

    g_Mouse.DrawCursor();
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}
