// The display read through GDI in place of Wine's black front buffer.
#include "harness.h"

#include "platform/platform.h"

#include <algorithm>

namespace {

// A window of its own in the display's bottom-left corner, where the full-size windows of the tests that
// run beside this one never reach, showing a picture whose every pixel tells its place: red the column,
// green twice the row, blue the column backwards, so a shifted, flipped or reordered copy shows.
constexpr int kPatternWidth = 256;
constexpr int kPatternHeight = 128;
const char kPatternClass[] = "QuorvantisCapturePattern";

DWORD PatternColour(int x, int y) {
    return static_cast<DWORD>(x << 16 | (2 * y) << 8 | (255 - x));
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static DWORD pixels[kPatternHeight][kPatternWidth];
    for (int y = 0; y < kPatternHeight; ++y) {
        for (int x = 0; x < kPatternWidth; ++x) {
            pixels[y][x] = PatternColour(x, y);
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kPatternWidth;
    info.bmiHeader.biHeight = -kPatternHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetDIBitsToDevice(dc, 0, 0, kPatternWidth, kPatternHeight, 0, 0, 0, kPatternHeight, pixels, &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &paint);
    return 0;
}

class DisplayCaptureTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(m_surface);
        if (m_pattern) {
            DestroyWindow(m_pattern);
            m_pattern = nullptr;
        }
        UnregisterClassA(kPatternClass, GetModuleHandleA(nullptr));
        DeviceTest::TearDown();
    }

    // Shows the pattern window, without taking the foreground from the device's window.
    void ShowPattern() {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = PatternProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kPatternClass;
        ASSERT_NE(RegisterClassExA(&wc), 0);
        m_pattern = CreateWindowExA(WS_EX_TOOLWINDOW, kPatternClass, "", WS_POPUP, 16,
                                    GetSystemMetrics(SM_CYSCREEN) - kPatternHeight - 16, kPatternWidth,
                                    kPatternHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_pattern, nullptr);
        ShowWindow(m_pattern, SW_SHOWNOACTIVATE);
        UpdateWindow(m_pattern);
        // Messages handled and one wait for more, as a program's loop would do, before the display is read.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }

    IDirect3DSurface9* m_surface = nullptr;
    HWND m_pattern = nullptr;
};

TEST_F(DisplayCaptureTest, CopiesTheScreenIntoTheSurfaceOpaqueAndLeavesThePartBeyondIt) {
    ASSERT_NO_FATAL_FAILURE(ShowPattern());
    POINT origin = {0, 0};
    ClientToScreen(m_pattern, &origin);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Wider than the screen: the columns past its right edge keep what they held.
    ASSERT_EQ(g_pd3dDevice->CreateOffscreenPlainSurface(screenWidth + 16, screenHeight, D3DFMT_A8R8G8B8,
                                                        D3DPOOL_SCRATCH, &m_surface, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(m_surface->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < screenHeight; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        std::fill(row, row + screenWidth + 16, 0x00ABCDEFu);
    }
    m_surface->UnlockRect();

    ASSERT_EQ(CaptureDisplay(m_surface), D3D_OK);
    ASSERT_EQ(m_surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    int opaque = 0;
    int kept = 0;
    int matching = 0;
    int firstWrongX = -1;
    int firstWrongY = -1;
    DWORD firstWrong = 0;
    for (int y = 0; y < screenHeight; ++y) {
        const DWORD* row =
            reinterpret_cast<const DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < screenWidth; ++x) {
            opaque += (row[x] >> 24) == 0xFF;
        }
        for (int x = screenWidth; x < screenWidth + 16; ++x) {
            kept += row[x] == 0x00ABCDEFu;
        }
        const int patternY = y - origin.y;
        if (patternY < 0 || patternY >= kPatternHeight) {
            continue;
        }
        for (int x = 0; x < kPatternWidth; ++x) {
            const DWORD seen = row[origin.x + x] & 0x00FFFFFF;
            if (seen == PatternColour(x, patternY)) {
                ++matching;
            } else if (firstWrongX < 0) {
                firstWrongX = x;
                firstWrongY = patternY;
                firstWrong = seen;
            }
        }
    }
    m_surface->UnlockRect();
    EXPECT_EQ(opaque, screenWidth * screenHeight);
    EXPECT_EQ(kept, 16 * screenHeight);
    EXPECT_EQ(matching, kPatternWidth * kPatternHeight)
        << "first difference at " << firstWrongX << ", " << firstWrongY << " of the window: " << std::hex
        << firstWrong << " for " << PatternColour(firstWrongX, firstWrongY);
}

TEST_F(DisplayCaptureTest, AnyOtherFormatIsAnInvalidCall) {
    EXPECT_EQ(CaptureDisplay(nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(g_pd3dDevice->CreateOffscreenPlainSurface(64, 64, D3DFMT_X8R8G8B8, D3DPOOL_SCRATCH, &m_surface,
                                                        nullptr),
              D3D_OK);
    EXPECT_EQ(CaptureDisplay(m_surface), D3DERR_INVALIDCALL);
}

} // namespace
