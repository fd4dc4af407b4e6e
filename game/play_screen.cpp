// The play screen.
#include "app/app.h"
#include "game/game.h"

BYTE g_bOverlay = 0;

HRESULT LoadScene(HWND) { return S_OK; }

void ReleaseScene() {}

void GameFrame() {
    if (!g_pd3dDevice) {
        return;
    }
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102018, 1.0f, 0);
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}
