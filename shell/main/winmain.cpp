// The program entry: window, graphics start-up, the message loop whose idle passes run the stages,
// and the shut-down.
#include "shell/shell.h"

namespace {

constexpr int kIconResource = 102;
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

bool RegisterWindowClass(HINSTANCE hInstance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(kIconResource));
    wc.hIconSm = LoadIconA(hInstance, MAKEINTRESOURCEA(kIconResource));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = g_szClassName;
    return RegisterClassExA(&wc) != 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CoInitialize(nullptr);
    if (!RegisterWindowClass(hInstance)) {
        return 0;
    }
    HWND hWnd = CreateWindowExA(0, g_szClassName, g_szTitle, kWindowStyle, 0, 0, g_ScreenWidth, g_ScreenHeight,
                                nullptr, nullptr, hInstance, nullptr);
    if (!hWnd) {
        return 0;
    }
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
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
