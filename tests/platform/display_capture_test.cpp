// The display read through GDI in place of Wine's black front buffer.
#include "harness.h"

#include "platform/platform.h"

#include <algorithm>

namespace {

class DisplayCaptureTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(m_surface);
        DeviceTest::TearDown();
    }
    IDirect3DSurface9* m_surface = nullptr;
};

TEST_F(DisplayCaptureTest, FillsTheScreenPartOfAnA8R8G8B8SurfaceOpaque) {
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
    for (int y = 0; y < screenHeight; ++y) {
        const DWORD* row =
            reinterpret_cast<const DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < screenWidth; ++x) {
            opaque += (row[x] >> 24) == 0xFF;
        }
        for (int x = screenWidth; x < screenWidth + 16; ++x) {
            kept += row[x] == 0x00ABCDEFu;
        }
    }
    m_surface->UnlockRect();
    EXPECT_EQ(opaque, screenWidth * screenHeight);
    EXPECT_EQ(kept, 16 * screenHeight);
}

TEST_F(DisplayCaptureTest, AnyOtherFormatIsAnInvalidCall) {
    EXPECT_EQ(CaptureDisplay(nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(g_pd3dDevice->CreateOffscreenPlainSurface(64, 64, D3DFMT_X8R8G8B8, D3DPOOL_SCRATCH, &m_surface,
                                                        nullptr),
              D3D_OK);
    EXPECT_EQ(CaptureDisplay(m_surface), D3DERR_INVALIDCALL);
}

} // namespace
