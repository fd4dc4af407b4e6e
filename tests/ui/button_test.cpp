// Picture buttons: the hit box and its press rule, and the picture each state draws.
#include "harness.h"

#include "input/input.h"
#include "ui/button.h"

namespace {

constexpr BYTE kDown = 0x80;

// A title-sized button: drawn at (256, 268.8), box x in (256, 1024), y in (276.48, 358.4).
CButton BoxButton() {
    CButton button = {};
    button.x = 512.0f;
    button.y = 384.0f;
    button.scaleX = 0.5f;
    button.scaleY = 0.7f;
    button.overDesc.Width = 512;
    button.overDesc.Height = 128;
    return button;
}

void PlaceMouse(int x, int y, BYTE b0 = 0, BYTE b1 = 0, BYTE b2 = 0, BYTE b3 = 0) {
    g_Mouse.x = x;
    g_Mouse.y = y;
    g_Mouse.state.rgbButtons[0] = b0;
    g_Mouse.state.rgbButtons[1] = b1;
    g_Mouse.state.rgbButtons[2] = b2;
    g_Mouse.state.rgbButtons[3] = b3;
}

struct HitCase {
    const char* what;
    int x, y;
    BYTE b0, b1, b2, b3;
    bool over, pressed;
};

TEST(ButtonHitTest, BoundsAndButtons) {
    const HitCase cases[] = {
        {"inside, no button", 300, 300, 0, 0, 0, 0, true, false},
        {"left edge is outside", 256, 300, 0, 0, 0, 0, false, false},
        {"just right of the left edge", 257, 300, 0, 0, 0, 0, true, false},
        {"right bound x + W is outside", 1024, 300, 0, 0, 0, 0, false, false},
        {"between the drawn right edge and x + W", 800, 300, 0, 0, 0, 0, true, false},
        {"above 0.72 y", 300, 276, 0, 0, 0, 0, false, false},
        {"just below 0.72 y", 300, 277, 0, 0, 0, 0, true, false},
        {"bottom bound 0.7 (y + H)", 300, 359, 0, 0, 0, 0, false, false},
        {"just above the bottom", 300, 358, 0, 0, 0, 0, true, false},
        {"left button", 300, 300, kDown, 0, 0, 0, true, true},
        {"right button alone", 300, 300, 0, kDown, 0, 0, false, false},
        {"middle button alone", 300, 300, 0, 0, kDown, 0, false, false},
        {"buttons 1 and 2", 300, 300, 0, kDown, kDown, 0, false, false},
        {"buttons 1, 2 and 3 together", 300, 300, 0, kDown, kDown, kDown, true, true},
        {"left with the right button", 300, 300, kDown, kDown, 0, 0, true, true},
        {"low bits only are not a press", 300, 300, 0x7F, 0, 0, 0, true, false},
        {"outside with the left button", 100, 100, kDown, 0, 0, 0, false, false},
    };
    for (const HitCase& c : cases) {
        CButton button = BoxButton();
        button.isOver = !c.over; // the test must overwrite both flags
        button.isPressed = !c.pressed;
        PlaceMouse(c.x, c.y, c.b0, c.b1, c.b2, c.b3);
        button.UpdateState();
        EXPECT_EQ(button.isOver, c.over) << c.what;
        EXPECT_EQ(button.isPressed, c.pressed) << c.what;
    }
    PlaceMouse(0, 0);
}

TEST(ButtonHitTest, AButtonWithoutPicturesHasAnEmptyBox) {
    CButton button = {};
    button.x = 10.0f;
    button.y = 10.0f;
    button.scaleX = 0.5f;
    button.scaleY = 0.7f;
    for (int y = 0; y < 30; y += 3) {
        PlaceMouse(8, y);
        button.UpdateState();
        EXPECT_FALSE(button.isOver) << y;
    }
}

TEST(ButtonInit, SetsPositionScaleAndClearsFlags) {
    CButton button = {};
    button.isOver = true;
    button.isPressed = true;
    button.lastClickTime = 1234;
    button.Init(12.0f, 34.0f);
    EXPECT_EQ(button.x, 12.0f);
    EXPECT_EQ(button.y, 34.0f);
    EXPECT_EQ(button.scaleX, 1.0f);
    EXPECT_EQ(button.scaleY, 1.0f);
    EXPECT_EQ(button.lastClickTime, 0u);
    EXPECT_FALSE(button.isOver);
    EXPECT_FALSE(button.isPressed);
}

class ButtonDrawTest : public DeviceTest {
protected:
    void TearDown() override {
        m_button.Release();
        SafeRelease(m_button.pUpTexture);
        SafeRelease(m_button.pDownTexture);
        SafeRelease(m_button.pSprite);
        delete[] m_button.pSubButtons;
        PlaceMouse(0, 0);
        DeviceTest::TearDown();
    }

    // Draws the button alone on black and returns the frame.
    std::vector<uint32_t> Draw() {
        return DrawScene(
            0xFF000000, [this] { m_button.Render(); }, &m_width);
    }

    CButton m_button = {};
    UINT m_width = 0;
};

TEST_F(ButtonDrawTest, TheFlagsChooseTheUpOverAndDownPictures) {
    // The title's Start button: the plain picture for up and down, the highlighted one for over.
    m_button.x = 512.0f;
    m_button.y = 384.0f;
    m_button.scaleX = 1.0f;
    m_button.scaleY = 1.0f;
    m_button.LoadImages("..\\Immagini\\Button\\startGame.png");
    m_button.LoadOverImage("..\\Immagini\\Button\\startGameOn.png");
    ASSERT_NE(m_button.pOverTexture, nullptr);
    ASSERT_NE(m_button.pUpTexture, nullptr);
    ASSERT_NE(m_button.pSprite, nullptr);
    m_button.scaleX = 0.5f;
    m_button.scaleY = 0.7f;
    const float w = static_cast<float>(m_button.overDesc.Width);
    const float h = static_cast<float>(m_button.overDesc.Height);
    ASSERT_GT(w, 0.0f);

    // Sample points inside the drawn picture.
    const UINT cx = static_cast<UINT>((m_button.x + w / 2) * 0.5f);
    const UINT cy = static_cast<UINT>((m_button.y + h / 2) * 0.7f);
    auto sum = [&](const std::vector<uint32_t>& frame) {
        uint64_t total = 0;
        for (int dy = -8; dy <= 8; dy += 4) {
            for (int dx = -40; dx <= 40; dx += 4) {
                const uint32_t p = PixelAt(frame, m_width, cx + dx, cy + dy);
                total += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
            }
        }
        return total;
    };

    PlaceMouse(static_cast<int>(cx), static_cast<int>(cy));
    const std::vector<uint32_t> over = Draw();
    EXPECT_TRUE(m_button.isOver && !m_button.isPressed);
    PlaceMouse(static_cast<int>(cx), static_cast<int>(cy), kDown);
    const std::vector<uint32_t> down = Draw();
    EXPECT_TRUE(m_button.isOver && m_button.isPressed);
    PlaceMouse(5, 5);
    const std::vector<uint32_t> up = Draw();
    EXPECT_FALSE(m_button.isOver);

    ASSERT_FALSE(up.empty());
    EXPECT_GT(sum(up), 0u) << "the up picture is drawn";
    EXPECT_EQ(sum(up), sum(down)) << "up and down show the same picture";
    EXPECT_NE(sum(up), sum(over)) << "hovering shows the highlighted picture";
    // Opaque black is keyed out: the corner outside the picture's frame stays the cleared black.
    EXPECT_EQ(PixelAt(up, m_width, 2, 2), 0u);
}

TEST_F(ButtonDrawTest, AMissingPictureIsReportedAndDrawsNothing) {
    DebugOutputRecorder recorder;
    m_button.Init(100.0f, 100.0f);
    m_button.LoadImages("..\\Immagini\\Button\\nonexistent.png");
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_EQ(m_button.pOverTexture, nullptr);
    EXPECT_EQ(m_button.pUpTexture, nullptr);
    PlaceMouse(0, 0);
    const std::vector<uint32_t> frame = Draw();
    for (UINT y = 0; y < 768; y += 16) {
        for (UINT x = 0; x < 1024; x += 16) {
            ASSERT_EQ(PixelAt(frame, m_width, x, y), 0u);
        }
    }
}

TEST_F(ButtonDrawTest, TextIsDrawnWithTheButtonsFont) {
    m_button.InitWithFont(100.0f, 100.0f, "DejaVu Sans");
    EXPECT_EQ(m_button.fontPoints, 8);
    ASSERT_NE(m_button.pFont, nullptr);
    D3DXFONT_DESCA desc;
    m_button.pFont->GetDescA(&desc);
    HDC screen = GetDC(nullptr);
    const int expected = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(desc.Height, expected);
    EXPECT_EQ(desc.Weight, static_cast<UINT>(FW_BOLD));

    // Black text on a white frame, at (x + W/20, y + H/10) scaled; no pictures, so W = H = 0.
    const std::vector<uint32_t> frame = DrawScene(
        0xFFFFFFFF, [this] { m_button.RenderWithText("OK OK"); }, &m_width);
    int dark = 0;
    for (UINT y = 100; y < 120; ++y) {
        for (UINT x = 100; x < 160; ++x) {
            dark += PixelAt(frame, m_width, x, y) < 0x404040 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(PixelAt(frame, m_width, 90, 90), 0xFFFFFFu) << "nothing drawn before the text";
}

TEST(ButtonSubButtons, AllocatesTheRequestedRecords) {
    CButton button = {};
    CButton* subs = button.AllocSubButtons(4);
    ASSERT_NE(subs, nullptr);
    EXPECT_EQ(button.pSubButtons, subs);
    delete[] subs;
}

} // namespace
