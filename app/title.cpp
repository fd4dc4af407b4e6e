// The title screen: the title picture under Start and Exit.
#include "app/app.h"

HRESULT InitTitleStage(HWND hWnd) {
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
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void TitleFrame() {
    TitleRender();
    if (GetAsyncKeyState(VK_ESCAPE)) {
        exit(0);
    }
    if (GetAsyncKeyState(VK_SPACE) || GetAsyncKeyState(VK_LBUTTON)) {
        g_bStartPressed = 1;
    }
}

void ReleaseTitleStage() { SafeRelease(g_pTitleTexture); }
