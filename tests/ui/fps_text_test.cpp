// The frame count drawn with the screen's text font.
#include "harness.h"

#include "private_folder.h"
#include "ui/font.h"

#include <algorithm>
#include <climits>
#include <functional>

namespace {

class FpsTextTest : public DeviceTest {
protected:
    void TearDown() override {
        SafeRelease(g_pFont);
        g_FPS = 0;
        DeviceTest::TearDown();
    }
    // One frame on a black back buffer, read back.
    std::vector<uint32_t> Drawn(const std::function<void()>& draw) {
        g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        g_pd3dDevice->BeginScene();
        draw();
        g_pd3dDevice->EndScene();
        return ReadBackBuffer(&m_width);
    }
    PrivateFolder m_folder;
    UINT m_width = 0;
};

TEST_F(FpsTextTest, DrawsTheCountOfCountFrameAsDecimalText) {
    ASSERT_EQ(D3DXCreateFontA(g_pd3dDevice, 18, 0, FW_BOLD, 0, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH, "Lamebrain -BRK-", &g_pFont),
              D3D_OK);
    const D3DXCOLOR yellow(1.0f, 1.0f, 0.0f, 1.0f);
    g_FPS = 75;
    g_TickFPS = 12.0f; // GetFPS's value is not the one shown
    const std::vector<uint32_t> fps = Drawn([] { DrawFPS(100, 50, 1.0f, 1.0f, 0.0f, 1.0f); });
    EXPECT_STREQ(g_FPSText, "75");
    ASSERT_FALSE(fps.empty());

    // Two digits of an 18-pixel font from (100, 50), give or take a pixel of a glyph's overhang.
    size_t lit = 0;
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};
    for (size_t i = 0; i < fps.size(); ++i) {
        if (fps[i] & 0xFFFFFF) {
            ++lit;
            const LONG x = static_cast<LONG>(i % m_width);
            const LONG y = static_cast<LONG>(i / m_width);
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                   std::max(box.bottom, y)};
        }
    }
    EXPECT_GT(lit, 20u);
    EXPECT_NEAR(box.left, 100, 4);
    EXPECT_NEAR(box.top, 50, 8);
    EXPECT_LT(box.right, 150);
    EXPECT_LT(box.bottom, 50 + 18);
    EXPECT_TRUE(fps == Drawn([&] { DrawFontText(100, 50, "75", yellow); }));
    EXPECT_FALSE(fps == Drawn([&] { DrawFontText(100, 50, "76", yellow); }));

    g_FPS = INT_MIN;
    Drawn([] { DrawFPS(0, 0, 1.0f, 1.0f, 1.0f, 1.0f); });
    EXPECT_STREQ(g_FPSText, "-2147483648") << "the longest count fits the text";
}

} // namespace
