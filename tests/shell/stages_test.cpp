// The graphics start-up, the stage machine's timeline on a fed clock, and the window procedure.
#include "harness.h"
#include "shell/shell.h"
#include "shell/stage_hooks.h"
#include "services/test_seams.h"

#include "game/game.h"
#include "input/input.h"

namespace {

DWORD s_now = 0;
DWORD FedClock() { return s_now; }

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
    ASSERT_EQ(answerer.Seen().size(), 1u); // only the full-screen question
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
    CreateDirectoryA("..\\partial", nullptr);
    CreateDirectoryA("..\\partial\\bin", nullptr);
    CreateDirectoryA("..\\partial\\Immagini", nullptr);
    ASSERT_TRUE(CopyFileA("..\\Immagini\\VARNOX_LOGO.jpg", "..\\partial\\Immagini\\VARNOX_LOGO.jpg", FALSE));
    ASSERT_TRUE(SetCurrentDirectoryA("..\\partial\\bin"));

    MessageBoxAnswerer answerer;
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitGraphics(m_window), E_FAIL);
    ASSERT_EQ(answerer.Seen().size(), 2u);
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
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);

    auto frameChecksum = [&]() {
        SplashRender();
        D3DLOCKED_RECT locked;
        uint64_t sum = 0;
        if (SUCCEEDED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            for (int y = 0; y < 768; y += 7) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
                for (int x = 0; x < 1024; x += 7) {
                    sum = sum * 31 + (row[x] & 0xFFFFFF);
                }
            }
            back->UnlockRect();
        }
        return sum;
    };
    const uint64_t logo = frameChecksum();
    g_bShowLogo = 0;
    const uint64_t loading = frameChecksum();
    back->Release();
    EXPECT_NE(logo, 0u);
    EXPECT_NE(logo, loading);
}

TEST(ScreenshotNameTest, TwoDigitsBelowTenAndNoPaddingFromTen) {
    char name[20];
    const struct {
        int count;
        const char* expected;
    } cases[] = {{0, "screenshot00.bmp"}, {9, "screenshot09.bmp"}, {10, "screenshot10.bmp"}, {99999, "screenshot99999.bmp"}};
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

} // namespace
