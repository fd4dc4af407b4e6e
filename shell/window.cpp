// The game's window and its procedure: Esc, help-overlay dismissal and screenshots on key presses; and the
// shut-down that follows WM_QUIT.
#include "shell/shell.h"
#include "shell/main/resource.h"
#include "shell/stage_hooks.h"
#include "game/game.h"
#include "input/input.h"
#include "services/device.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "services/surface.h"

#include <dinput.h>

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

} // namespace

HWND CreateGameWindow(HINSTANCE hInstance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_QUORVANTIS));
    wc.hIconSm = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_QUORVANTIS));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = g_szClassName;
    if (!RegisterClassExA(&wc)) {
        return nullptr;
    }
    HWND hWnd = CreateWindowExA(0, g_szClassName, g_szTitle, kWindowStyle, 0, 0, g_ScreenWidth,
                                g_ScreenHeight, nullptr, nullptr, hInstance, nullptr);
    if (hWnd) {
        ShowWindow(hWnd, SW_SHOWNORMAL);
        UpdateWindow(hWnd);
    }
    return hWnd;
}

bool FormatScreenshotName(int count, char* name, size_t size) {
    const int written = snprintf(name, size, count < 10 ? "screenshot0%d.bmp" : "screenshot%d.bmp", count);
    return written > 0 && static_cast<size_t>(written) < size;
}

namespace {

void OnKeyDown() {
    if (GetAsyncKeyState(VK_ESCAPE) && !g_bOverlay) {
        exit(0);
    }
    g_bOverlay = 0;

    if (g_Keyboard.IsKeyDown(DIK_S)) {
        // A count past five digits no longer fits the name: nothing is saved, the count still goes up.
        char name[20];
        if (FormatScreenshotName(g_ScreenshotCount, name, sizeof(name))) {
            SaveScreenshot(name);
        }
        ++g_ScreenshotCount;
    }
}

} // namespace

LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        ValidateRect(hWnd, nullptr);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown();
        return 0;
    default:
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

void ShutDown(HINSTANCE hInstance) {
    ReleaseTitleStage();
    ReleaseScene();
    SafeRelease(g_pd3dDevice);
    SafeRelease(g_pD3D);
    CloseLogFile();
    ShowCursor(TRUE);
    UnregisterClassA(g_szClassName, hInstance);
    CoUninitialize();
}
