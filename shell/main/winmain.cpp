// The program entry: window, graphics start-up, the message loop whose idle passes run the stages,
// and the shut-down.
#include "shell/shell.h"
#include "services/device.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CoInitialize(nullptr);
    HWND hWnd = CreateGameWindow(hInstance);
    if (!hWnd) {
        return 0;
    }
    g_hWnd = hWnd;
    g_hInstance = hInstance;

    if (InitGraphics(hWnd) < 0) {
        OutputDebugStringA("Inizializzazione Video Fallita");
        OutputDebugStringA("\n");
        ReleaseSplash();
        return E_FAIL;
    }
    ShowCursor(FALSE);

    MSG msg = {};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            StageIdlePass();
        }
    }

    ShutDown(hInstance);
    return 0;
}
