// The title screen: the title picture under Start and Exit and the program's own cursor. Its set-up
// also brings the input devices, the log and the text font to life.
#include "shell/shell.h"
#include "shell/asset_files.h"
#include "shell/title_layout.h"
#include "ui/button.h"
#include "ui/font.h"
#include "input/input.h"
#include "services/device.h"
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/log.h"
#include "services/safe_release.h"

CButton g_StartButton;
CButton g_TitleExitButton;

namespace {

struct TitleButton {
    CButton* button;
    const layout::ButtonPlace& place;
    const char* picture;
    const char* overPicture;
};

constexpr auto kStartPath = JoinPath(game_folders::kButtons, asset_files::kStartButton);
constexpr auto kStartOverPath = JoinPath(game_folders::kButtons, asset_files::kStartButtonOver);
constexpr auto kExitPath = JoinPath(game_folders::kButtons, asset_files::kTitleExitButton);
constexpr auto kExitOverPath = JoinPath(game_folders::kButtons, asset_files::kTitleExitButtonOver);

const TitleButton kTitleButtons[] = {
    {&g_StartButton, layout::kStartButton, kStartPath.data(), kStartOverPath.data()},
    {&g_TitleExitButton, layout::kTitleExitButton, kExitPath.data(), kExitOverPath.data()},
};

// The box shows the message with " \n" after it; the debugger gets it bare.
HRESULT Fail(HWND hWnd, const char* message) {
    char text[128];
    snprintf(text, sizeof(text), "%s \n", message);
    return SetUpFailure(hWnd, text, message);
}

} // namespace

HRESULT InitTitleStage(HWND hWnd) {
    if (FAILED(InitInput())) {
        return Fail(hWnd, "Impossibile inizializzare l'input device");
    }
    if (!OpenLogFile()) {
        return Fail(hWnd, "Impossibile inizializzare il log file");
    }
    InitFont("Lamebrain -BRK-");

    for (const TitleButton& entry : kTitleButtons) {
        CButton& button = *entry.button;
        button.Init(static_cast<float>(layout::PlaceX(entry.place, g_ScreenWidth)),
                    layout::PlaceY(entry.place, g_ScreenHeight));
        button.LoadImages(entry.picture);
        button.LoadOverImage(entry.overPicture);
        button.scaleX = entry.place.scaleX;
        button.scaleY = entry.place.scaleY;
    }
    return 1;
}

void TitleRender() {
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pd3dDevice->BeginScene();
    g_pSprite->Begin(D3DXSPRITE_ALPHABLEND);
    g_pSprite->Draw(g_pTitleTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_pSprite->End();
    g_pd3dDevice->EndScene();

    g_pd3dDevice->BeginScene();
    g_StartButton.Render();
    g_TitleExitButton.Render();
    g_pd3dDevice->EndScene();

    g_Mouse.DrawCursor();
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void TitleFrame() {
    g_Mouse.Poll();
    g_Mouse.UpdatePosition();
    TitleRender();

    // Exit is tested first; Esc is read from the system, so it works even without DirectInput.
    if ((g_TitleExitButton.isOver && g_TitleExitButton.isPressed) || GetAsyncKeyState(VK_ESCAPE)) {
        exit(0);
    }
    if ((g_StartButton.isOver && g_StartButton.isPressed) || g_Keyboard.IsKeyDown(DIK_SPACE)) {
        g_bStartPressed = 1;
    }
}

void ReleaseTitleStage() {
    g_StartButton.Release();
    g_TitleExitButton.Release();
    SafeRelease(g_pTitleTexture);
}
