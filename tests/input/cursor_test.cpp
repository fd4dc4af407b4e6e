// The cursor picture drawn at the cursor position, its opaque black left out.
#include "input_support.h"

#include <algorithm>
#include <climits>

namespace {

constexpr D3DCOLOR kBackground = 0xFF3060A0;
constexpr int kCursorSize = 32;

// The cursor picture as the file holds it, 0x00RRGGBB, row by row from the top.
std::vector<uint32_t> CursorPicture() {
    std::vector<uint32_t> pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, "..\\Immagini\\Mouse\\cursore.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) {
        return pixels;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kCursorSize;
    info.bmiHeader.biHeight = -kCursorSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.resize(kCursorSize * kCursorSize);
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, bitmap, 0, kCursorSize, pixels.data(), &info, DIB_RGB_COLORS) != kCursorSize) {
        pixels.clear();
    }
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (uint32_t& p : pixels) {
        p &= 0x00FFFFFF;
    }
    return pixels;
}

// Each channel of the colour within the channel's range, give or take the tolerance.
bool Within(uint32_t colour, uint32_t low, uint32_t high, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int v = static_cast<int>((colour >> shift) & 0xFF);
        if (v < static_cast<int>((low >> shift) & 0xFF) - tolerance ||
            v > static_cast<int>((high >> shift) & 0xFF) + tolerance) {
            return false;
        }
    }
    return true;
}

// The smallest box holding every pixel that is not the background.
RECT DrawnBox(const std::vector<uint32_t>& frame, UINT width) {
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};
    for (size_t i = 0; i < frame.size(); ++i) {
        if ((frame[i] & 0x00FFFFFF) != (kBackground & 0x00FFFFFF)) {
            const LONG x = static_cast<LONG>(i % width), y = static_cast<LONG>(i / width);
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

class CursorTest : public InputDeviceTest {
protected:
    // A frame as the title screen draws it: its own scene first, then the cursor in another.
    std::vector<uint32_t> DrawFrame(UINT* width) {
        g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
        g_pd3dDevice->BeginScene();
        g_pd3dDevice->EndScene();
        g_Mouse.DrawCursor();
        return ReadBackBuffer(width);
    }

    // The sprite filters the picture, so a drawn pixel may mix the picture pixels around its own.
    // Where all nine are black it must be the background untouched; where none is, it must stay
    // within their colours. Answers the number of pixels of each kind that were wrong.
    struct Check {
        int keyed = 0, keyedWrong = 0, opaque = 0, opaqueWrong = 0;
    };
    Check CheckSquare(const std::vector<uint32_t>& frame, UINT width, int x, int y) const {
        Check check;
        for (int row = 0; row < kCursorSize; ++row) {
            for (int column = 0; column < kCursorSize; ++column) {
                int black = 0, seen = 0;
                uint32_t low = 0xFFFFFF, high = 0;
                for (int r = row - 1; r <= row + 1; ++r) {
                    for (int c = column - 1; c <= column + 1; ++c) {
                        if (r < 0 || c < 0 || r >= kCursorSize || c >= kCursorSize) {
                            continue;
                        }
                        const uint32_t p = m_picture[r * kCursorSize + c];
                        ++seen;
                        black += p == 0;
                        for (int shift = 0; shift < 24; shift += 8) {
                            const uint32_t v = (p >> shift) & 0xFF;
                            low = (low & ~(0xFFu << shift)) | (std::min((low >> shift) & 0xFF, v) << shift);
                            high =
                                (high & ~(0xFFu << shift)) | (std::max((high >> shift) & 0xFF, v) << shift);
                        }
                    }
                }
                const uint32_t drawn = PixelAt(frame, width, x + column, y + row);
                if (black == seen) {
                    ++check.keyed;
                    check.keyedWrong += drawn != (kBackground & 0x00FFFFFF);
                } else if (black == 0) {
                    ++check.opaque;
                    check.opaqueWrong += !Within(drawn, low, high, 4);
                }
            }
        }
        return check;
    }

    std::vector<uint32_t> m_picture;
};

TEST_F(CursorTest, TheCursorIsDrawnAtItsPositionWithBlackLeftOut) {
    m_picture = CursorPicture();
    ASSERT_EQ(m_picture.size(), static_cast<size_t>(kCursorSize * kCursorSize));
    ASSERT_NE(m_picture[0], 0u) << "the hot spot is a visible pixel";
    ASSERT_TRUE(StartInput());

    const struct { int x, y; } positions[] = {{100, 50}, {700, 600}, {0, 0}};
    for (const auto& p : positions) {
        g_Mouse.SetPosition(p.x, p.y);
        UINT width = 0;
        const std::vector<uint32_t> frame = DrawFrame(&width);
        ASSERT_FALSE(frame.empty());
        const Check check = CheckSquare(frame, width, p.x, p.y);
        EXPECT_GT(check.keyed, 500);
        EXPECT_EQ(check.keyedWrong, 0) << "opaque black is transparent, at " << p.x << "," << p.y;
        EXPECT_GT(check.opaque, 50);
        EXPECT_EQ(check.opaqueWrong, 0) << "the picture's colours, at " << p.x << "," << p.y;
        // The picture's top-left pixel lands on (x, y): the drawing starts there, give or take the
        // filter's one pixel.
        const RECT box = DrawnBox(frame, width);
        EXPECT_LE(std::abs(box.left - p.x), 1) << p.x << "," << p.y;
        EXPECT_LE(std::abs(box.top - p.y), 1) << p.x << "," << p.y;
        EXPECT_LE(box.right, p.x + kCursorSize);
        EXPECT_LE(box.bottom, p.y + kCursorSize);
    }
}

TEST_F(CursorTest, PastTheVisibleAreaNothingIsSeen) {
    ASSERT_TRUE(StartInput());
    g_Mouse.SetPosition(1100, 900);
    UINT width = 0;
    const std::vector<uint32_t> frame = DrawFrame(&width);
    ASSERT_FALSE(frame.empty());
    for (size_t i = 0; i < frame.size(); ++i) {
        ASSERT_EQ(frame[i] & 0x00FFFFFF, kBackground & 0x00FFFFFF) << "pixel " << i;
    }
}

TEST_F(CursorTest, AMissingPictureLeavesTheCursorUnseenAndTheSetUpGoesOn) {
    // A game folder without the Mouse pictures.
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof(folder), folder);
    CreateDirectoryA("..\\nocursor", nullptr);
    CreateDirectoryA("..\\nocursor\\bin", nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA("..\\nocursor\\bin"));

    DebugOutputRecorder recorder;
    const bool started = StartInput();
    SetCurrentDirectoryA(folder);
    RemovePath("..\\nocursor\\bin");
    RemovePath("..\\nocursor");
    ASSERT_TRUE(started) << "the set-up succeeds without the picture";
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_EQ(g_Mouse.pCursorTexture, nullptr);
    EXPECT_NE(g_Mouse.pSprite, nullptr);

    g_Mouse.SetPosition(100, 100);
    UINT width = 0;
    const std::vector<uint32_t> frame = DrawFrame(&width);
    ASSERT_FALSE(frame.empty());
    for (size_t i = 0; i < frame.size(); ++i) {
        ASSERT_EQ(frame[i] & 0x00FFFFFF, kBackground & 0x00FFFFFF) << "pixel " << i;
    }
}

} // namespace
