// The title screen: the title picture under Start and Exit.
#include "app/app.h"
#include "input/input.h"

HRESULT InitTitleStage(HWND hWnd) {
    if (FAILED(InitInput())) {
        MessageBoxA(hWnd, "Impossibile inizializzare l'input device \n", "Errore", MB_ICONEXCLAMATION);
        ErrorOut("Impossibile inizializzare l'input device");
        return E_FAIL;
    }
    if (!OpenLogFile()) {
        MessageBoxA(hWnd, "Impossibile inizializzare il log file \n", "Errore", MB_ICONEXCLAMATION);
        ErrorOut("Impossibile inizializzare il log file");
        return E_FAIL;
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
    g_Mouse.DrawCursor();
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void TitleFrame() {
    g_Mouse.Poll();
    g_Mouse.UpdatePosition();
    TitleRender();
    if (GetAsyncKeyState(VK_ESCAPE)) {
        exit(0);
    }
    if (g_Keyboard.IsKeyDown(DIK_SPACE) || GetAsyncKeyState(VK_LBUTTON)) {
        g_bStartPressed = 1;
    }
}

void ReleaseTitleStage() { SafeRelease(g_pTitleTexture); }
