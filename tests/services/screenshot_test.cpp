// The screenshot: the display inside the window's rectangle, written as a BMP file.
#include "harness.h"
#include "bitmap_file.h"
#include "private_folder.h"

namespace {

// The quarters of the picture drawn before each screenshot.
constexpr D3DCOLOR kQuarterColours[] = {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF};

ULONG ReferenceCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

class ScreenshotTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppGlobals(); }
    // A window of 200 x 160 at (x, y) and a device made for it where it stands (a device whose window is
    // resized later shows nothing on Wine).
    void Start(int x, int y) {
        m_window = CreateTestWindow();
        ASSERT_NE(m_window, nullptr);
        MoveWindow(m_window, x, y, 200, 160, TRUE);
        g_hWnd = m_window;
        g_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(g_pD3D, nullptr);
        D3DPRESENT_PARAMETERS parameters = {};
        parameters.Windowed = TRUE;
        parameters.SwapEffect = D3DSWAPEFFECT_COPY;
        parameters.BackBufferFormat = D3DFMT_UNKNOWN; // the desktop's, the client area's size
        ASSERT_EQ(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &g_pd3dDevice),
                  D3D_OK);
    }
    // In the display's bottom-right corner, where the full-size windows of the tests that run beside
    // this one never reach: the screenshot shows whatever lies over the window.
    void StartInTheCorner() {
        Start(GetSystemMetrics(SM_CXSCREEN) - 220, GetSystemMetrics(SM_CYSCREEN) - 180);
    }
    void TearDown() override {
        ResetAppGlobals();
        DestroyTestWindow(m_window);
        RemovePath("screenshot00.bmp");
        RemovePath("screenshot01.bmp");
    }

    // The client area in four coloured quarters.
    void PresentQuarters() {
        RECT client;
        GetClientRect(m_window, &client);
        for (int i = 0; i < 4; ++i) {
            const LONG x = (i % 2) * client.right / 2;
            const LONG y = (i / 2) * client.bottom / 2;
            const D3DRECT quarter = {x, y, x + client.right / 2, y + client.bottom / 2};
            ClearRect(&quarter, kQuarterColours[i], g_pd3dDevice);
        }
        g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }

    PrivateFolder m_folder;
    HWND m_window = nullptr;
};

TEST_F(ScreenshotTest, FileIsTheWindowRectangleAsTheDisplayShowsIt) {
    ASSERT_NO_FATAL_FAILURE(StartInTheCorner());
    PresentQuarters();
    const ULONG deviceReferences = ReferenceCount(g_pd3dDevice);
    const ULONG d3dReferences = ReferenceCount(g_pD3D);

    ASSERT_TRUE(SaveScreenshot("screenshot00.bmp"));
    BitmapPicture shot;
    ASSERT_TRUE(DecodeBitmap(ReadFileBytes("screenshot00.bmp"), &shot));
    RECT window;
    GetWindowRect(m_window, &window);
    EXPECT_EQ(shot.width, window.right - window.left) << "frame and caption included";
    EXPECT_EQ(shot.height, window.bottom - window.top);

    // The client area inside the picture, and a point well inside each quarter of it.
    POINT client = {0, 0};
    ClientToScreen(m_window, &client);
    RECT size;
    GetClientRect(m_window, &size);
    for (int i = 0; i < 4; ++i) {
        const int x = client.x - window.left + size.right * (1 + 2 * (i % 2)) / 4;
        const int y = client.y - window.top + size.bottom * (1 + 2 * (i / 2)) / 4;
        ASSERT_TRUE(x < shot.width && y < shot.height);
        EXPECT_EQ(shot.At(x, y) & 0xFFFFFF, kQuarterColours[i] & 0xFFFFFF) << "quarter " << i;
    }

    // Nothing moved: the same file again, and each call gives back what it took.
    ASSERT_TRUE(SaveScreenshot("screenshot01.bmp"));
    EXPECT_TRUE(ReadFileBytes("screenshot01.bmp") == ReadFileBytes("screenshot00.bmp"));
    EXPECT_EQ(ReferenceCount(g_pd3dDevice), deviceReferences);
    EXPECT_EQ(ReferenceCount(g_pD3D), d3dReferences);
}

TEST_F(ScreenshotTest, NothingIsSavedForAWindowPartlyOffTheDisplayOrWithoutADevice) {
    ASSERT_NO_FATAL_FAILURE(Start(-40, -30));
    PresentQuarters();
    EXPECT_FALSE(SaveScreenshot("screenshot00.bmp"));
    EXPECT_EQ(GetFileAttributesA("screenshot00.bmp"), INVALID_FILE_ATTRIBUTES);

    MoveWindow(m_window, 40, 30, 200, 160, TRUE);
    LPDIRECT3DDEVICE9 device = g_pd3dDevice;
    g_pd3dDevice = nullptr;
    const bool saved = SaveScreenshot("screenshot00.bmp");
    g_pd3dDevice = device;
    EXPECT_FALSE(saved);
    EXPECT_EQ(GetFileAttributesA("screenshot00.bmp"), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(SaveScreenshot("screenshot00.bmp")) << "back on the display";
}

} // namespace
