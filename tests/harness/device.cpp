// The device fixture, the test window, the reset of the shell's globals and small file helpers.
#include "harness.h"
#include "shell/shell.h"
#include "services/test_seams.h"

#include <direct.h>
#include <fstream>
#include <sstream>

namespace {

const char kTestWindowClass[] = "QuorvantisTestWindow";

ATOM RegisterTestClass(WNDPROC proc) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = proc ? proc : DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kTestWindowClass;
    return RegisterClassExA(&wc);
}

} // namespace

HWND CreateTestWindow(WNDPROC proc) {
    UnregisterClassA(kTestWindowClass, GetModuleHandleA(nullptr));
    RegisterTestClass(proc);
    HWND window =
        CreateWindowExA(0, kTestWindowClass, "Quorvantis test", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                        0, 1024, 768, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return window;
}

void DestroyTestWindow(HWND window) {
    if (window) {
        DestroyWindow(window);
    }
    UnregisterClassA(kTestWindowClass, GetModuleHandleA(nullptr));
}

void ResetAppGlobals() {
    SafeRelease(g_pSprite);
    SafeRelease(g_pLogoTexture);
    SafeRelease(g_pLoadingTexture);
    SafeRelease(g_pTitleTexture);
    SafeRelease(g_pd3dDevice);
    SafeRelease(g_pD3D);
    if (g_LogFile) {
        fclose(g_LogFile);
        g_LogFile = nullptr;
    }
    g_hWnd = nullptr;
    g_hInstance = nullptr;
    g_ScreenshotCount = 0;
    g_bShowLogo = 1;
    g_LoadStage = 0;
    g_bSplashTimerStarted = 0;
    g_SplashStartTime = 0;
    g_bStageInitDone = 0;
    g_bStartPressed = 0;
    g_bLoadingStarted = 0;
    g_bSplashReleased = 0;
    g_bHalDevice = 0;
    g_bRefDevice = 0;
    ZeroMemory(&g_d3dpp, sizeof(g_d3dpp));
    memset(g_LogWordBuf, 0, sizeof(g_LogWordBuf));
    SetTimeSource(nullptr);
}

void DeviceTest::SetUp() {
    ResetAppGlobals();
    m_window = CreateTestWindow();
    ASSERT_NE(m_window, nullptr);
    g_hWnd = m_window;
    g_hInstance = GetModuleHandleA(nullptr);
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0), S_OK);
    ASSERT_NE(g_pd3dDevice, nullptr);
}

void DeviceTest::TearDown() {
    ResetAppGlobals();
    DestroyTestWindow(m_window);
    m_window = nullptr;
}

std::vector<uint32_t> ReadBackBuffer(UINT* width, UINT* height) {
    std::vector<uint32_t> pixels;
    D3DSURFACE_DESC desc = {};
    IDirect3DSurface9* back = nullptr;
    HRESULT hr = g_pd3dDevice ? g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back) : E_POINTER;
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(hr)) {
        back->GetDesc(&desc);
        hr = back->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    }
    if (SUCCEEDED(hr)) {
        pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            memcpy(&pixels[static_cast<size_t>(y) * desc.Width],
                   static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                   desc.Width * sizeof(uint32_t));
        }
        back->UnlockRect();
    } else {
        ADD_FAILURE() << "the back buffer cannot be read: 0x" << std::hex << static_cast<unsigned long>(hr);
        desc.Width = 0;
        desc.Height = 0;
    }
    SafeRelease(back);
    if (width) {
        *width = desc.Width;
    }
    if (height) {
        *height = desc.Height;
    }
    return pixels;
}

uint32_t PixelAt(const std::vector<uint32_t>& pixels, UINT width, UINT x, UINT y) {
    const size_t index = static_cast<size_t>(y) * width + x;
    if (x >= width || index >= pixels.size()) {
        if (!pixels.empty()) {
            ADD_FAILURE() << "pixel " << x << ", " << y << " lies outside the picture";
        }
        return 0;
    }
    return pixels[index] & 0x00FFFFFF;
}

std::string ReadFileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void RemovePath(const char* path) {
    if (!DeleteFileA(path)) {
        RemoveDirectoryA(path);
    }
}
