// The slider: its hover and drag test with every bound scaled, the value along the track, the knob
// that follows the cursor, and its pictures on the back buffer.
#include "harness.h"

#include "input/input.h"
#include "ui/slider.h"

namespace {

constexpr BYTE kDown = 0x80;

void PlaceMouse(int x, int y, BYTE b0 = 0, BYTE b1 = 0, BYTE b2 = 0, BYTE b3 = 0) {
    g_Mouse.x = x;
    g_Mouse.y = y;
    g_Mouse.state.rgbButtons[0] = b0;
    g_Mouse.state.rgbButtons[1] = b1;
    g_Mouse.state.rgbButtons[2] = b2;
    g_Mouse.state.rgbButtons[3] = b3;
}

// A 256 x 64 track at (100, 200), values 0 to 100, with a 32-pixel knob, as Init leaves it.
CSlider TrackSlider(float scale = 1.0f) {
    CSlider slider;
    slider.x = 100.0f;
    slider.y = 200.0f;
    slider.maxValue = 100.0f;
    slider.value = 40.0f;
    slider.scaleX = scale;
    slider.scaleY = scale;
    slider.trackDesc.Width = 256;
    slider.trackDesc.Height = 64;
    slider.knob.overDesc.Width = 32;
    slider.knob.overDesc.Height = 32;
    slider.knob.x = 84.0f;
    slider.knob.y = 216.0f;
    return slider;
}

class SliderTest : public ::testing::Test {
protected:
    void TearDown() override { PlaceMouse(0, 0); }
};

TEST_F(SliderTest, DraggingSetsTheValueAlongTheTrackAndMovesTheKnob) {
    struct Drag {
        int x;
        float value;
    };
    // Left edge, halfway, right edge: the box's edges count for a drag.
    for (const Drag& d : {Drag{100, 0.0f}, Drag{228, 50.0f}, Drag{356, 100.0f}}) {
        CSlider slider = TrackSlider();
        PlaceMouse(d.x, 264, kDown);
        slider.Update();
        EXPECT_FLOAT_EQ(slider.value, d.value) << d.x;
        EXPECT_TRUE(slider.isOver);
        EXPECT_TRUE(slider.isPressed);
        EXPECT_FLOAT_EQ(slider.knob.x, d.x - 16.0f) << "centred on the cursor";
        EXPECT_FLOAT_EQ(slider.knob.y, 216.0f) << "the knob only moves across";
    }
    // Buttons 1, 2 and 3 together press as the left button does.
    CSlider slider = TrackSlider();
    PlaceMouse(164, 200, 0, kDown, kDown, kDown);
    slider.Update();
    EXPECT_FLOAT_EQ(slider.value, 25.0f);
    EXPECT_TRUE(slider.isPressed);
}

TEST_F(SliderTest, PastTheEndTheLastValueInsideStays) {
    CSlider slider = TrackSlider();
    PlaceMouse(292, 230, kDown);
    slider.Update();
    EXPECT_FLOAT_EQ(slider.value, 75.0f);
    for (const POINT& p :
         {POINT{357, 230}, POINT{600, 230}, POINT{99, 230}, POINT{200, 265}, POINT{200, 199}}) {
        PlaceMouse(p.x, p.y, kDown);
        slider.Update();
        EXPECT_FLOAT_EQ(slider.value, 75.0f) << p.x << "," << p.y;
        EXPECT_FLOAT_EQ(slider.knob.x, 276.0f);
        EXPECT_FALSE(slider.isOver);
        EXPECT_FALSE(slider.isPressed);
    }
}

TEST_F(SliderTest, HoverIsStrictlyInsideWithNoButtonDown) {
    struct Hover {
        int x, y;
        bool over;
    };
    const Hover cases[] = {{200, 230, true}, {100, 230, false}, {101, 230, true},  {356, 230, false},
                           {355, 230, true}, {200, 200, false}, {200, 264, false}, {200, 263, true}};
    for (const Hover& c : cases) {
        CSlider slider = TrackSlider();
        PlaceMouse(c.x, c.y);
        slider.Update();
        EXPECT_EQ(slider.isOver, c.over) << c.x << "," << c.y;
        EXPECT_FALSE(slider.isPressed);
        EXPECT_FLOAT_EQ(slider.value, 40.0f) << "hovering leaves the value";
    }
}

TEST_F(SliderTest, TheRightButtonAloneNeitherHoversNorDrags) {
    CSlider slider = TrackSlider();
    slider.isOver = true;
    PlaceMouse(200, 230, 0, kDown);
    slider.Update();
    EXPECT_FALSE(slider.isOver);
    EXPECT_FALSE(slider.isPressed);
    EXPECT_FLOAT_EQ(slider.value, 40.0f);
    EXPECT_FLOAT_EQ(slider.knob.x, 84.0f);
}

TEST_F(SliderTest, AtHalfScaleTheValueFollowsTheScaledTrack) {
    // The box runs from 50 to 178 across and from 100 to 132 down.
    CSlider slider = TrackSlider(0.5f);
    PlaceMouse(114, 116, kDown);
    slider.Update();
    EXPECT_FLOAT_EQ(slider.value, 50.0f);
    EXPECT_FLOAT_EQ(slider.knob.x, 114.0f - 8.0f) << "half a knob at the slider's scale";
    PlaceMouse(178, 132, kDown);
    slider.Update();
    EXPECT_FLOAT_EQ(slider.value, 100.0f);
    PlaceMouse(179, 116, kDown);
    slider.Update();
    EXPECT_FALSE(slider.isPressed);
    EXPECT_FLOAT_EQ(slider.value, 100.0f);
}

TEST_F(SliderTest, WithoutATrackPictureNothingIsDragged) {
    CSlider slider = TrackSlider();
    slider.trackDesc.Width = 0;
    slider.trackDesc.Height = 0;
    PlaceMouse(100, 200, kDown); // the only point of an empty box
    slider.Update();
    EXPECT_FLOAT_EQ(slider.value, 40.0f);
    EXPECT_FALSE(slider.isPressed);
    EXPECT_FLOAT_EQ(slider.knob.x, 84.0f);
}

class SliderDrawTest : public DeviceTest {
protected:
    void TearDown() override {
        m_slider.Release();
        SafeRelease(m_slider.pSprite);
        SafeRelease(m_slider.knob.pUpTexture);
        SafeRelease(m_slider.knob.pDownTexture);
        SafeRelease(m_slider.knob.pSprite);
        PlaceMouse(0, 0);
        DeviceTest::TearDown();
    }

    std::vector<uint32_t> Draw() {
        return DrawScene(
            0xFF000000, [this] { m_slider.Render(); }, &m_width);
    }

    // Pixels that are not black in the box [left, right) x [top, bottom).
    size_t Lit(const std::vector<uint32_t>& frame, UINT left, UINT top, UINT right, UINT bottom) const {
        size_t lit = 0;
        for (UINT y = top; y < bottom; ++y) {
            for (UINT x = left; x < right; ++x) {
                lit += PixelAt(frame, m_width, x, y) != 0;
            }
        }
        return lit;
    }

    CSlider m_slider;
    UINT m_width = 0;
};

TEST_F(SliderDrawTest, InitLoadsBothPicturesAndPutsTheKnobAtTheLeftEnd) {
    DebugOutputRecorder recorder;
    m_slider.Init(300.0f, 400.0f, g_szSliderTrack, g_szSliderKnob, 30.0f, 100.0f);
    ASSERT_NE(m_slider.pTrackTexture, nullptr);
    ASSERT_NE(m_slider.pSprite, nullptr);
    ASSERT_NE(m_slider.knob.pOverTexture, nullptr);
    EXPECT_TRUE(recorder.Outputs().empty());
    EXPECT_EQ(m_slider.trackDesc.Width, 256u);
    EXPECT_EQ(m_slider.trackDesc.Height, 64u);
    EXPECT_EQ(m_slider.knob.overDesc.Width, 32u);
    EXPECT_FLOAT_EQ(m_slider.knob.x, 284.0f);
    EXPECT_FLOAT_EQ(m_slider.knob.y, 416.0f);
    EXPECT_FLOAT_EQ(m_slider.value, 30.0f) << "whatever the initial value, the knob starts at the left";
    EXPECT_FLOAT_EQ(m_slider.initialValue, 30.0f);
    EXPECT_FLOAT_EQ(m_slider.scaleX, 1.0f);
    EXPECT_EQ(m_slider.knob.scaleY, 1.0f);

    m_slider.Release();
    EXPECT_EQ(m_slider.pTrackTexture, nullptr);
    EXPECT_EQ(m_slider.knob.pOverTexture, nullptr);
}

TEST_F(SliderDrawTest, TheTrackAndTheDraggedKnobAreDrawn) {
    m_slider.Init(300.0f, 400.0f, g_szSliderTrack, g_szSliderKnob, 0.0f, 100.0f);
    PlaceMouse(0, 0);
    std::vector<uint32_t> frame = Draw();
    ASSERT_FALSE(frame.empty());
    // The knob is 32 pixels high, half of it below the track's top; its top rows stand above the
    // track's groove, which begins 23 rows down.
    EXPECT_GT(Lit(frame, 310, 425, 540, 440), 1000u) << "the groove across the track";
    EXPECT_GT(Lit(frame, 288, 417, 312, 422), 40u) << "the knob at the left end";
    EXPECT_EQ(Lit(frame, 480, 417, 504, 422), 0u);
    EXPECT_EQ(Lit(frame, 400, 300, 500, 390), 0u) << "nothing above the track";

    PlaceMouse(492, 432, kDown);
    frame = Draw();
    EXPECT_FLOAT_EQ(m_slider.value, 75.0f);
    EXPECT_GT(Lit(frame, 480, 417, 504, 422), 40u) << "the knob under the cursor";
    EXPECT_EQ(Lit(frame, 288, 417, 312, 422), 0u) << "and no longer at the left end";
}

TEST_F(SliderDrawTest, MissingPicturesAreReportedAndTheSliderGoesOn) {
    DebugOutputRecorder recorder;
    m_slider.Init(300.0f, 400.0f, "..\\Immagini\\Slider\\none.png", "..\\Immagini\\Slider\\none.png", 5.0f,
                  10.0f);
    EXPECT_EQ(m_slider.pTrackTexture, nullptr);
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_EQ(m_slider.trackDesc.Width, 0u);
    PlaceMouse(300, 400, kDown);
    const std::vector<uint32_t> frame = Draw();
    EXPECT_FLOAT_EQ(m_slider.value, 5.0f);
    EXPECT_FALSE(m_slider.isPressed);
    EXPECT_EQ(Lit(frame, 250, 350, 600, 500), 0u);
}

} // namespace
