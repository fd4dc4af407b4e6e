// The device set-up: the question box, the present parameters, the states and "options.txt".
#include "harness.h"

#include <cmath>

namespace {

std::string ExpectedReport(bool windowed) {
    D3DCAPS9 caps = {};
    g_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    std::string report = "WinWidth 1024\r\nWinHeight 768\r\n";
    report += windowed ? "Windowed TRUE\r\n" : "Windowed FALSE\r\n";
    report += "MultiSampleType D3DMULTISAMPLE_NONE\r\n"
              "SwapEffect D3DSWAPEFFECT_COPY\r\n"
              "EnableAutoDepthStencil TRUE\r\n"
              "PresentationInterval D3DPRESENT_INTERVAL_IMMEDIATE\r\n"
              "Flags D3DPRESENTFLAG_LOCKABLE_BACKBUFFER\r\n"
              "\r\n";
    report += g_bHalDevice ? "DEVICE TYPE D3DDEVTYPE_HAL\r\n" : "DEVICE TYPE D3DDEVTYPE_REF\r\n";
    report += (caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED) ? "b2SidedStencils true\r\n"
                                                           : "b2SidedStencils false\r\n";
    report += caps.PixelShaderVersion >= D3DPS_VERSION(2, 0) ? "psVersion true\r\n" : "psVersion false\r\n";
    return report;
}

class InitD3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppGlobals();
        m_window = CreateTestWindow();
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override {
        ResetAppGlobals();
        DestroyTestWindow(m_window);
    }
    HWND m_window = nullptr;
};

TEST_F(InitD3DTest, AnsweringNoAsksTheQuestionAndGivesAWindowedDevice) {
    MessageBoxAnswerer answerer(IDNO);
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 0, 0), S_OK);

    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    const SeenMessageBox& box = answerer.Seen()[0];
    EXPECT_EQ(box.caption, "Apertura Applicazione");
    EXPECT_EQ(box.text, "Modalit\xE0 schermo-intero? (1024x768x16)");
    EXPECT_TRUE(box.hasYesNo);
    EXPECT_EQ(box.icon, BoxIcon::Question);

    ASSERT_NE(g_pd3dDevice, nullptr);
    EXPECT_EQ(g_d3dpp.Windowed, TRUE);
    RECT client;
    GetClientRect(m_window, &client);
    EXPECT_EQ(client.right - client.left, 1024);
    EXPECT_EQ(client.bottom - client.top, 768);
}

TEST_F(InitD3DTest, WindowedStartWritesTheTwelveReportLines) {
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0), S_OK);
    EXPECT_EQ(g_bHalDevice, 1);
    EXPECT_EQ(ReadFileBytes("options.txt"), ExpectedReport(true));
}

TEST_F(InitD3DTest, ResizeKeepsTheWindowCorner) {
    MoveWindow(m_window, 40, 30, 600, 500, TRUE);
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0), S_OK);
    RECT window;
    RECT client;
    GetWindowRect(m_window, &window);
    GetClientRect(m_window, &client);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);
}

TEST_F(InitD3DTest, PresentParametersFollowTheDesktopFormat) {
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0), S_OK);
    D3DDISPLAYMODE mode;
    g_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    EXPECT_EQ(g_d3dpp.BackBufferWidth, 1024u);
    EXPECT_EQ(g_d3dpp.BackBufferHeight, 768u);
    EXPECT_EQ(g_d3dpp.BackBufferFormat, mode.Format);
    EXPECT_EQ(g_d3dpp.BackBufferCount, 1u);
    EXPECT_EQ(g_d3dpp.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(g_d3dpp.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(g_d3dpp.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(g_d3dpp.Flags, static_cast<DWORD>(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER));
    EXPECT_EQ(g_d3dpp.FullScreen_RefreshRateInHz, 0u);
    EXPECT_EQ(g_d3dpp.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(InitD3DTest, ProjectionAndDefaultStates) {
    ASSERT_EQ(InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0), S_OK);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, D3DX_PI / 4, 1024.0f / 768.0f, 1.0f, 10000.0f);
    D3DMATRIX projection;
    g_pd3dDevice->GetTransform(D3DTS_PROJECTION, &projection);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(projection.m[r][c], expected.m[r][c], 1e-6f) << r << "," << c;
        }
    }
    DWORD value = 0;
    g_pd3dDevice->GetRenderState(D3DRS_SHADEMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DSHADE_GOURAUD));
    g_pd3dDevice->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_NONE));
    g_pd3dDevice->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER}) {
        g_pd3dDevice->GetSamplerState(0, filter, &value);
        EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    }
}

TEST_F(InitD3DTest, NullArgumentsFailAndLeaveAnEmptyReport) {
    LPDIRECT3D9 d3d = nullptr;
    LPDIRECT3DDEVICE9 device = nullptr;
    const struct {
        LPDIRECT3D9* ppD3D;
        LPDIRECT3DDEVICE9* ppDevice;
        HWND window;
    } cases[] = {{nullptr, &device, m_window}, {&d3d, nullptr, m_window}, {&d3d, &device, nullptr}};
    for (const auto& c : cases) {
        WriteFileBytes("options.txt", "an old report\n");
        DebugOutputRecorder recorder;
        MessageBoxAnswerer answerer;
        EXPECT_EQ(InitD3D(c.ppD3D, c.ppDevice, c.window, 0, 0), E_FAIL);
        EXPECT_THAT(answerer.Seen(), IsEmpty());
        EXPECT_TRUE(recorder.Outputs().empty());
        EXPECT_EQ(GetFileAttributesA("options.txt") != INVALID_FILE_ATTRIBUTES, true);
        EXPECT_EQ(ReadFileBytes("options.txt"), "");
    }
    EXPECT_EQ(d3d, nullptr);
    EXPECT_EQ(device, nullptr);
}

TEST_F(InitD3DTest, AReportThatCannotBeOpenedDoesNotStopTheSetUp) {
    RemovePath("options.txt");
    ASSERT_TRUE(CreateDirectoryA("options.txt", nullptr));
    const HRESULT hr = InitD3D(&g_pD3D, &g_pd3dDevice, m_window, 1, 0);
    RemoveDirectoryA("options.txt");
    EXPECT_EQ(hr, S_OK);
    EXPECT_NE(g_pd3dDevice, nullptr);
}

} // namespace
