// The console on the screen: its slide of ten pixels a frame, and the picture it leaves at the top
// of the back buffer.
#include "console_fixture.h"

namespace {

constexpr D3DCOLOR kScene = 0xFF204060;       // what the frame drew before the console
constexpr size_t kConsolePixels = 1024 * 384; // the background and the work surface
constexpr size_t kAlphabetPixels = 512 * 128; // the game's alphabet bitmap

class ConsoleRenderTest : public ConsoleTest {
protected:
    // One frame: the scene's colour, then the console over it.
    std::vector<uint32_t> Frame() {
        g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, kScene, 1.0f, 0);
        m_console.Render();
        return ReadBackBuffer(&m_width);
    }
    // A surface's pixels, row by row, without the top byte. A lock that fails is a test failure and
    // gives no pixels: callers assert the size before reading them.
    static std::vector<uint32_t> Pixels(IDirect3DSurface9* surface) {
        std::vector<uint32_t> pixels;
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        const HRESULT hr = surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        if (FAILED(hr)) {
            ADD_FAILURE() << "a " << desc.Width << " x " << desc.Height << " surface cannot be locked: 0x"
                          << std::hex << hr;
            return pixels;
        }
        for (UINT y = 0; y < desc.Height; ++y) {
            const DWORD* row = static_cast<const DWORD*>(locked.pBits) + y * (locked.Pitch / 4);
            for (UINT x = 0; x < desc.Width; ++x) {
                pixels.push_back(row[x] & 0x00FFFFFF);
            }
        }
        surface->UnlockRect();
        return pixels;
    }

    UINT m_width = 0;
};

TEST_F(ConsoleRenderTest, SlidesOpenInThirtyNineFramesAndClosedInThirtyNine) {
    m_console.Render();
    EXPECT_EQ(g_ConsoleSlideOffset, 384) << "the first frame starts the offset at the console's height";
    m_console.Show(1);
    for (int frame = 1; frame <= 38; ++frame) {
        m_console.Render();
        ASSERT_EQ(g_ConsoleSlideOffset, 384 - 10 * frame);
        ASSERT_EQ(m_console.slideState, kConsoleOpening) << frame;
    }
    m_console.Render();
    EXPECT_EQ(g_ConsoleSlideOffset, -6);
    EXPECT_EQ(m_console.slideState, kConsoleStill);
    m_console.Render();
    EXPECT_EQ(g_ConsoleSlideOffset, -6) << "open, it stands still";

    m_console.HandleKey(VK_F11);
    for (int frame = 1; frame <= 38; ++frame) {
        m_console.Render();
        ASSERT_EQ(m_console.visible, 1) << frame;
    }
    m_console.Render();
    EXPECT_EQ(g_ConsoleSlideOffset, 384);
    EXPECT_EQ(m_console.visible, 0);
    EXPECT_EQ(m_console.slideState, kConsoleStill);

    // A reversal halfway closes from where the console stood.
    m_console.Show(1);
    for (int frame = 0; frame < 5; ++frame) {
        m_console.Render();
    }
    m_console.Show(0);
    for (int frame = 0; frame < 5; ++frame) {
        m_console.Render();
    }
    EXPECT_EQ(m_console.visible, 0);
    EXPECT_EQ(g_ConsoleSlideOffset, 384);
}

TEST_F(ConsoleRenderTest, TheOpenConsoleCoversTheTopHalfWithItsBackgroundAndText) {
    m_console.PrintLine("HELLO");
    m_console.Show(1);
    std::vector<uint32_t> frame;
    for (int i = 0; i < 39; ++i) {
        frame = Frame();
    }
    ASSERT_EQ(m_console.slideState, kConsoleStill);
    ASSERT_FALSE(frame.empty());
    const std::vector<uint32_t> background = Pixels(m_console.pBackground);
    ASSERT_EQ(background.size(), kConsolePixels);

    // "H" at (10, 347): its cell's glyph over the background, black left out.
    const std::vector<uint32_t> alphabet = Pixels(g_pAlphabetSurface);
    ASSERT_EQ(alphabet.size(), kAlphabetPixels);
    const int cellLeft = ('H' - 32) % 32 * 16;
    const int cellTop = ('H' - 32) / 32 * 32;
    size_t glyph = 0;
    size_t mismatches = 0;
    for (UINT y = 0; y < 768; ++y) {
        for (UINT x = 0; x < 1024; ++x) {
            uint32_t expected = y < 384 ? background[y * 1024 + x] : kScene & 0x00FFFFFF;
            if (x >= 10 && x < 26 && y >= 347 && y < 379) {
                const uint32_t source = alphabet[(cellTop + y - 347) * 512 + cellLeft + x - 10];
                if (source != 0) {
                    expected = source;
                    ++glyph;
                }
            }
            const bool text = x >= 26 && x < 90 && y >= 347 && y < 379; // "ELLO"
            if (!text && PixelAt(frame, m_width, x, y) != expected) {
                ++mismatches;
            }
        }
    }
    EXPECT_GT(glyph, 40u);
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(ConsoleRenderTest, WhileSlidingTheConsolesLowerPartShowsAtTheTop) {
    m_console.PrintLine("HELLO");
    m_console.Show(1);
    Frame();
    const std::vector<uint32_t> frame = Frame(); // offset 364: twenty rows show
    ASSERT_EQ(g_ConsoleSlideOffset, 364);
    const std::vector<uint32_t> composed = Pixels(m_console.pWorkSurface);
    ASSERT_EQ(composed.size(), kConsolePixels);
    size_t mismatches = 0;
    for (UINT y = 0; y < 60; ++y) {
        for (UINT x = 0; x < 1024; ++x) {
            const uint32_t expected = y < 20 ? composed[(364 + y) * 1024 + x] : kScene & 0x00FFFFFF;
            mismatches += PixelAt(frame, m_width, x, y) != expected;
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST_F(ConsoleRenderTest, LinesOfAnAlphabetReloadedWithTallerCellsStayInsideTheSurface) {
    // Laid out for 32-pixel lines, drawn with 64-pixel cells: the edit line at 347 reaches past the
    // bottom, and lines moved up by 64 a line reach above the top.
    m_console.PrintLine("HHHH");
    ASSERT_EQ(InitAlphabet("..\\Alfabeto\\Expo_16x32_VARNOX.bmp", 16, 64), S_OK);
    m_console.Show(1);
    for (int i = 0; i < 39; ++i) {
        m_console.Render();
    }
    ASSERT_EQ(m_console.slideState, kConsoleStill);
    // "H", cell 40 of 32 a row: the 16 x 64 block at (128, 64).
    const std::vector<uint32_t> alphabet = Pixels(g_pAlphabetSurface);
    ASSERT_EQ(alphabet.size(), kAlphabetPixels);
    const auto glyph = [&](int x, int y) { return alphabet[(64 + y) * 512 + 128 + x]; };
    std::vector<uint32_t> work = Pixels(m_console.pWorkSurface);
    ASSERT_EQ(work.size(), kConsolePixels);
    size_t shown = 0;
    for (int y = 347; y < 384; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (glyph(x, y - 347) != 0) {
                ASSERT_EQ(work[y * 1024 + 10 + x], glyph(x, y - 347)) << x << "," << y;
                ++shown;
            }
        }
    }
    EXPECT_GT(shown, 0u) << "the edit line shows down to the bottom row";

    for (int i = 0; i < 6; ++i) {
        m_console.PrintLine("HHHH");
    }
    m_console.Render();
    // The line that straddles the top edge shows its lower rows from row 0.
    const CConsoleLine* straddling = nullptr;
    for (const CConsoleLine* line = m_console.pHead; line && line->GetNext(); line = line->GetNext()) {
        if (line->GetY() < 0 && line->GetY() > -64) {
            straddling = line;
        }
    }
    ASSERT_NE(straddling, nullptr);
    const int top = straddling->GetY();
    work = Pixels(m_console.pWorkSurface);
    ASSERT_EQ(work.size(), kConsolePixels);
    shown = 0;
    for (int y = 0; y < top + 64; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (glyph(x, y - top) != 0) {
                ASSERT_EQ(work[y * 1024 + 10 + x], glyph(x, y - top)) << x << "," << y;
                ++shown;
            }
        }
    }
    EXPECT_GT(shown, 0u);
}

TEST_F(ConsoleRenderTest, AWorkSurfaceThatCannotBeLockedGetsNoText) {
    m_console.PrintLine("HELLO");
    m_console.Show(1);
    D3DLOCKED_RECT held;
    ASSERT_EQ(m_console.pWorkSurface->LockRect(&held, nullptr, 0), D3D_OK);
    DWORD* const first = static_cast<DWORD*>(held.pBits);
    std::fill(first, first + 1024, 0x12345678u);
    for (int i = 0; i < 39; ++i) {
        m_console.Render();
    }
    EXPECT_EQ(std::count(first, first + 1024, 0x12345678u), 1024);
    m_console.pWorkSurface->UnlockRect();

    const std::vector<uint32_t> frame = Frame();
    const std::vector<uint32_t> background = Pixels(m_console.pBackground);
    ASSERT_FALSE(frame.empty());
    ASSERT_EQ(background.size(), kConsolePixels);
    for (UINT x = 0; x < 1024; x += 7) {
        ASSERT_EQ(PixelAt(frame, m_width, x, 0), background[x]) << "the console is drawn again once free";
    }
}

} // namespace
