// The graphics start-up, the stage machine's timeline on a fed clock, and the window procedure.
#include "harness.h"
#include "game_folder_copy.h"
#include "shell/shell.h"
#include "shell/stage_hooks.h"
#include "services/test_seams.h"

#include "game/game.h"
#include "input/input.h"

#include <algorithm>
#include <vector>

namespace {

DWORD s_now = 0;
DWORD FedClock() {
    return s_now;
}

// A 2048 x 1024 splash picture as the device decodes it, row by row; empty when it cannot be read.
std::vector<uint32_t> SplashPictureFile(const char* path) {
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(g_pd3dDevice->CreateOffscreenPlainSurface(2048, 1024, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH,
                                                         &surface, nullptr))) {
        return pixels;
    }
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, path, nullptr, D3DX_FILTER_NONE, 0,
                                           nullptr)) &&
        SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pixels.resize(2048 * 1024);
        for (int y = 0; y < 1024; ++y) {
            memcpy(&pixels[y * 2048], static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch, 2048 * 4);
        }
        surface->UnlockRect();
    }
    surface->Release();
    return pixels;
}

// How many of the frame's pixels on a 16-pixel grid do not show the picture as the sprite draws it under
// the scaling (0.5, 0.75): screen pixel (x, y) covers texels 2x to 2x + 1 and 4y / 3 to 4(y + 1) / 3, and
// filtering blends their neighbours in, so each channel must lie within those of the texels around.
int SamplesOffThePicture(const std::vector<uint32_t>& frame, const std::vector<uint32_t>& picture) {
    constexpr int kMargin = 4; // rounding in the blend
    int off = 0;
    for (int y = 8; y < 768; y += 16) {
        for (int x = 8; x < 1024; x += 16) {
            const int u = 2 * x;
            const int v = (4 * y + 2) / 3;
            bool within = true;
            for (int shift = 0; shift < 24; shift += 8) {
                int low = 255;
                int high = 0;
                for (int dv = -1; dv <= 2; ++dv) {
                    for (int du = -1; du <= 2; ++du) {
                        const int texel = (picture[(v + dv) * 2048 + u + du] >> shift) & 0xFF;
                        low = std::min(low, texel);
                        high = std::max(high, texel);
                    }
                }
                const int seen = (frame[y * 1024 + x] >> shift) & 0xFF;
                within = within && seen >= low - kMargin && seen <= high + kMargin;
            }
            off += within ? 0 : 1;
        }
    }
    return off;
}

class StageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppGlobals();
        GetCurrentDirectoryA(sizeof(m_folder), m_folder);
        m_window = CreateTestWindow(WndProc);
        ASSERT_NE(m_window, nullptr);
        g_hWnd = m_window;
        g_hInstance = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        SetCurrentDirectoryA(m_folder);
        ReleaseTitleStage();
        ReleaseScene();
        ResetAppGlobals();
        DestroyTestWindow(m_window);
        RemovePath("D3D.log");
    }

    HWND m_window = nullptr;
    char m_folder[MAX_PATH] = {};
};

TEST_F(StageTest, GraphicsStartUpLoadsTheSplashPicturesAndScalesTheSprite) {
    MessageBoxAnswerer answerer;
    ASSERT_EQ(InitGraphics(m_window), 1);
    ASSERT_THAT(answerer.Seen(), SizeIs(1u)); // only the full-screen question
    EXPECT_NE(g_pLogoTexture, nullptr);
    EXPECT_NE(g_pLoadingTexture, nullptr);
    EXPECT_NE(g_pTitleTexture, nullptr);
    ASSERT_NE(g_pSprite, nullptr);
    D3DXMATRIX transform;
    g_pSprite->GetTransform(&transform);
    EXPECT_FLOAT_EQ(transform._11, 0.5f);
    EXPECT_FLOAT_EQ(transform._22, 0.75f);
    EXPECT_FLOAT_EQ(transform._33, 1.0f);
    EXPECT_FLOAT_EQ(transform._41, 0.0f);
}

TEST_F(StageTest, AMissingSplashPictureStopsTheStartUpWithAMessage) {
    // A game folder holding only the logo: the loading picture is the first to fail.
    GameFolderCopy folder({"Immagini\\VARNOX_LOGO.jpg"});

    MessageBoxAnswerer answerer;
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitGraphics(m_window), E_FAIL);
    ASSERT_THAT(answerer.Seen(), SizeIs(2u));
    const SeenMessageBox& box = answerer.Seen()[1];
    EXPECT_EQ(box.caption, "Errore");
    EXPECT_EQ(box.text, "Impossibile caricare la texture \n");
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_NE(g_pLogoTexture, nullptr);
    EXPECT_EQ(g_pLoadingTexture, nullptr);
    EXPECT_EQ(g_pTitleTexture, nullptr);
    EXPECT_EQ(g_pSprite, nullptr);

    ReleaseSplash();
    EXPECT_EQ(g_pLogoTexture, nullptr);
}

TEST_F(StageTest, TimelineFollowsTheClock) {
    MessageBoxAnswerer answerer;
    ASSERT_EQ(InitGraphics(m_window), 1);
    SetTimeSource(FedClock);

    // Logo: two whole seconds from the first frame, the title set-up on the frame that finds them.
    s_now = 0xFFFFF000; // the clock wraps during the logo
    StageIdlePass();
    EXPECT_EQ(g_SplashStartTime, 0xFFFFF000u);
    EXPECT_EQ(g_LoadStage, 0u);
    s_now += 1999;
    StageIdlePass();
    EXPECT_EQ(g_LoadStage, 1u);
    EXPECT_FALSE(g_bStageInitDone);
    EXPECT_EQ(g_LogFile, nullptr);
    s_now += 1;
    StageIdlePass();
    EXPECT_EQ(g_LoadStage, 2u);
    EXPECT_TRUE(g_bStageInitDone);
    EXPECT_NE(g_pDirectInput, nullptr) << "the title stage's set-up ran";
    EXPECT_TRUE(g_bShowLogo);

    // The next pass leaves the logo; Start chosen, it draws the first loading frame.
    g_bStartPressed = 1;
    s_now += 40;
    StageIdlePass();
    EXPECT_FALSE(g_bShowLogo);
    EXPECT_TRUE(g_bLoadingStarted);
    EXPECT_EQ(g_SplashStartTime, s_now);
    EXPECT_FALSE(g_bStageInitDone);
    const DWORD t1 = s_now;

    s_now = t1 + 1999;
    StageIdlePass();
    EXPECT_FALSE(g_bStageInitDone);
    s_now = t1 + 2000;
    StageIdlePass();
    EXPECT_TRUE(g_bStageInitDone) << "the scene loads on the frame that finds two seconds";

    s_now = t1 + 4999;
    StageIdlePass();
    EXPECT_EQ(g_LoadStage, 4u);
    s_now = t1 + 5000;
    StageIdlePass(); // still a loading frame: it finds five seconds
    EXPECT_EQ(g_LoadStage, 5u);
    EXPECT_FALSE(g_bSplashReleased);
    EXPECT_NE(g_pLogoTexture, nullptr);

    StageIdlePass(); // the first game pass releases the splash pictures once
    EXPECT_TRUE(g_bSplashReleased);
    EXPECT_EQ(g_pLogoTexture, nullptr);
    EXPECT_EQ(g_pLoadingTexture, nullptr);
    EXPECT_NE(g_pTitleTexture, nullptr);
}

TEST_F(StageTest, WholeSecondsAreExactForLongStages) {
    MessageBoxAnswerer answerer;
    ASSERT_EQ(InitGraphics(m_window), 1);
    SetTimeSource(FedClock);
    g_bStageInitDone = 1;
    s_now = 1000;
    LogoStep();
    s_now = 1000 + 999999999; // a float product would round this up to 1000000
    LogoStep();
    EXPECT_EQ(g_LoadStage, 999999u);
}

TEST_F(StageTest, SplashFramesShowTheLogoThenTheLoadingPicture) {
    MessageBoxAnswerer answerer;
    ASSERT_EQ(InitGraphics(m_window), 1);
    const std::vector<uint32_t> logoFile = SplashPictureFile("..\\Immagini\\VARNOX_LOGO.jpg");
    const std::vector<uint32_t> loadingFile = SplashPictureFile("..\\Immagini\\Loading.jpg");
    ASSERT_FALSE(logoFile.empty());
    ASSERT_FALSE(loadingFile.empty());

    UINT width = 0;
    UINT height = 0;
    SplashRender();
    const std::vector<uint32_t> logo = ReadBackBuffer(&width, &height);
    ASSERT_EQ(width, 1024u);
    ASSERT_EQ(height, 768u);
    g_bShowLogo = 0;
    SplashRender();
    const std::vector<uint32_t> loading = ReadBackBuffer();
    ASSERT_EQ(loading.size(), logo.size());

    EXPECT_EQ(SamplesOffThePicture(logo, logoFile), 0) << "the logo's frame, of 64 x 48 samples";
    EXPECT_EQ(SamplesOffThePicture(loading, loadingFile), 0) << "the loading frame, of 64 x 48 samples";
}

TEST(ScreenshotNameTest, TwoDigitsBelowTenAndNoPaddingFromTen) {
    char name[20];
    const struct {
        int count;
        const char* expected;
    } cases[] = {{0, "screenshot00.bmp"},
                 {9, "screenshot09.bmp"},
                 {10, "screenshot10.bmp"},
                 {99999, "screenshot99999.bmp"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(FormatScreenshotName(c.count, name, sizeof(name)));
        EXPECT_STREQ(name, c.expected);
    }
    EXPECT_FALSE(FormatScreenshotName(100000, name, sizeof(name))) << "six digits no longer fit the buffer";
}

TEST_F(StageTest, WindowProcedureMessages) {
    EXPECT_EQ(WndProc(m_window, WM_CREATE, 0, 0), 0);
    EXPECT_EQ(WndProc(m_window, WM_PAINT, 0, 0), 0);
    InvalidateRect(m_window, nullptr, FALSE);
    EXPECT_EQ(WndProc(m_window, WM_PAINT, 0, 0), 0);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(m_window, &update, FALSE)) << "WM_PAINT validates the whole window";

    g_bOverlay = 1;
    EXPECT_EQ(WndProc(m_window, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(g_bOverlay, 0) << "any key hides the help picture";

    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(WndProc(m_window, WM_DESTROY, 0, 0), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(StageTest, ShutDownBeforeAnySetUpTouchesNothing) {
    ShutDown(GetModuleHandleA(nullptr));
    EXPECT_EQ(g_pd3dDevice, nullptr);
    EXPECT_EQ(g_pD3D, nullptr);
    EXPECT_EQ(g_LogFile, nullptr);
    CoInitialize(nullptr); // ShutDown uninitialised COM for the process
}

TEST_F(StageTest, ShutDownClosesTheLogAndClearsItsPointer) {
    ASSERT_TRUE(OpenLogFile());
    LogWrite("last line");
    ShutDown(GetModuleHandleA(nullptr));
    CoInitialize(nullptr);
    EXPECT_EQ(g_LogFile, nullptr);
    EXPECT_EQ(ReadFileBytes("D3D.log"), "D3D LOG FILE \r\n\r\n\r\nlast line\r\n")
        << "written out when closed";
}

} // namespace
