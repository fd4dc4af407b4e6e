// The screen's text font: colour conversion, drawing, and its failures in "D3D.log".
#include "harness.h"

#include "ui/font.h"

namespace {

TEST(FontColour, ChannelsClampAndRound) {
    EXPECT_EQ(FontColour(D3DXCOLOR(255.0f, 255.0f, 255.0f, 1.0f)), 0xFFFFFFFFu) << "the play screen's white";
    EXPECT_EQ(FontColour(D3DXCOLOR(0.5f, 0.001f, 0.999f, 1.0f)), 0xFF8000FFu);
    EXPECT_EQ(FontColour(D3DXCOLOR(-0.5f, 0.0f, 1.0f, 0.5f)), 0x800000FFu);
    EXPECT_EQ(FontColour(D3DXCOLOR(0.25f, 0.75f, 0.1f, 0.0f)), 0x0040BF1Au);
}

class FontTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(g_pFont);
        RemovePath("D3D.log");
        DeviceTest::TearDown();
    }
};

TEST_F(FontTest, CreatesTheBoldEighteenPixelFont) {
    ASSERT_EQ(InitFont("Lamebrain -BRK-"), S_OK);
    ASSERT_NE(g_pFont, nullptr);
    D3DXFONT_DESCA desc;
    g_pFont->GetDescA(&desc);
    EXPECT_EQ(desc.Height, 18);
    EXPECT_EQ(desc.Weight, static_cast<UINT>(FW_BOLD));
    EXPECT_EQ(desc.Quality, ANTIALIASED_QUALITY);
    EXPECT_EQ(g_hr, S_OK);
}

TEST_F(FontTest, TheFaceIsTheInstalledOneWhereThePackageIsPresent) {
    if (GetFileAttributesA("Z:\\usr\\share\\fonts\\truetype\\aenigma\\lamebrai.ttf") ==
        INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "fonts-aenigma is not installed: the platform substitutes another face";
    }
    ASSERT_EQ(InitFont("Lamebrain -BRK-"), S_OK);
    HDC dc = g_pFont->GetDC();
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof(face), face);
    EXPECT_STREQ(face, "Lamebrain -BRK-");
}

TEST_F(FontTest, TextAppearsWhereItIsDrawn) {
    ASSERT_EQ(InitFont("Lamebrain -BRK-"), S_OK);
    UINT width = 0;
    const std::vector<uint32_t> frame = DrawScene(
        0xFF000000,
        [] {
            DrawFontText(300, 200, "ESATTI 3", D3DXCOLOR(255.0f, 255.0f, 255.0f, 1.0f));
            DrawFontText(300, 400, "", D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f));
        },
        &width);
    int lit = 0;
    int litElsewhere = 0;
    for (UINT y = 0; y < 768; ++y) {
        for (UINT x = 0; x < 1024; ++x) {
            if (PixelAt(frame, width, x, y) > 0x808080) {
                const bool inText = x >= 300 && x < 460 && y >= 200 && y < 224;
                (inText ? lit : litElsewhere) += 1;
            }
        }
    }
    EXPECT_GT(lit, 60) << "white text right and down from (300, 200)";
    EXPECT_EQ(litElsewhere, 0) << "nothing else drawn, the empty text included";
}

TEST_F(FontTest, WithoutAFontNothingIsDrawn) {
    UINT width = 0;
    const std::vector<uint32_t> frame = DrawScene(
        0xFF000000, [] { DrawFontText(10, 10, "nulla", D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f)); }, &width);
    EXPECT_EQ(PixelAt(frame, width, 12, 14), 0u);
}

TEST_F(FontTest, AFailedFontIsLoggedAndReported) {
    ASSERT_TRUE(OpenLogFile());
    LPDIRECT3DDEVICE9 device = g_pd3dDevice;
    g_pd3dDevice = nullptr; // D3DX refuses to make a font without a device
    DebugOutputRecorder recorder;
    const HRESULT hr = InitFont("Lamebrain -BRK-");
    g_pd3dDevice = device;
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_TRUE(FAILED(g_hr));
    const std::vector<std::string> expected = {"Impossibile caricare il font necessario", "\n"};
    EXPECT_EQ(recorder.Outputs(), expected);
    fclose(g_LogFile);
    g_LogFile = nullptr;
    EXPECT_EQ(ReadFileBytes("D3D.log"),
              "D3D LOG FILE \r\n\r\n\r\nImpossibile caricare il font necessario\r\n");
}

TEST_F(FontTest, AFailureWithoutAnOpenLogWritesOnlyTheDebuggerLine) {
    RemovePath("D3D.log");
    LPDIRECT3DDEVICE9 device = g_pd3dDevice;
    g_pd3dDevice = nullptr;
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitFont("Lamebrain -BRK-"), E_FAIL);
    g_pd3dDevice = device;
    EXPECT_EQ(recorder.Outputs().size(), 2u);
    EXPECT_EQ(GetFileAttributesA("D3D.log"), INVALID_FILE_ATTRIBUTES);
}

} // namespace
