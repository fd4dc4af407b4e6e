// Spoiled pictures through the sprite-picture loader of the buttons and through the alphabet bitmap:
// each load either gives a picture that draws (an alphabet only inside its characters' places), or
// reports its debugger lines and leaves the picture empty; nothing crashes or hangs.
#include "harness.h"
#include "spoiled_pictures.h"

#include "ui/alphabet.h"
#include "ui/button.h"

#include <algorithm>

namespace {

const char kSpoiledFile[] = "guasta";
constexpr int kMutantsPerSeed = 28;

class PictureFuzzTest : public DeviceTest {};

TEST_F(PictureFuzzTest, ButtonPicturesLoadWholeOrAreReportedAndLeftEmpty) {
    ForEachPictureMutant(PictureSeeds(), kMutantsPerSeed, kSpoiledFile, [](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        CButton button = {};
        button.Init(10.0f, 10.0f);
        button.LoadImages(kSpoiledFile);
        const LPDIRECT3DTEXTURE9 pictures[] = {button.pOverTexture, button.pUpTexture, button.pDownTexture};
        int missing = 0;
        for (LPDIRECT3DTEXTURE9 picture : pictures) {
            missing += picture ? 0 : 1;
        }
        // One line for each picture that could not be made, and nothing else.
        EXPECT_EQ(recorder.ErrorLineCount("Impossibile caricare la texture"), missing);
        EXPECT_EQ(recorder.Outputs().size(), static_cast<size_t>(3 * missing)) << recorder.Joined();
        if (button.pOverTexture) {
            EXPECT_GT(button.overDesc.Width, 0u);
            EXPECT_GT(button.overDesc.Height, 0u);
        }
        g_pd3dDevice->BeginScene();
        button.Render();
        g_pd3dDevice->EndScene();
        button.Release();
        SafeRelease(button.pUpTexture);
        SafeRelease(button.pDownTexture);
        SafeRelease(button.pSprite);
        return missing == 0;
    });
}

// A small alphabet of 8 x 16 cells, two rows of eight: the codes 32 to 47 and 48 to 63.
std::string SmallAlphabet() {
    BitmapPicture picture;
    picture.width = 64;
    picture.height = 32;
    for (int i = 0; i < picture.width * picture.height; ++i) {
        picture.pixels.push_back(i % 5 ? 0xFFFFFFFFu : 0xFF000000u);
    }
    return EncodeBitmap(picture, 32);
}

// Pixel memory whose drawn area is ringed by guard rows above and below and, with `sideGuard`, guard
// columns left and right. No draw may touch the guards.
class GuardedCanvas {
public:
    static constexpr DWORD kUntouched = 0xDEADBEEF;
    static constexpr int kGuard = 8;

    GuardedCanvas(int width, int height, bool sideGuard)
        : m_side(sideGuard ? kGuard : 0), m_rowLength(width + 2 * m_side),
          m_words(static_cast<size_t>(m_rowLength) * (height + 2 * kGuard), kUntouched), m_width(width),
          m_height(height) {}

    DWORD* Area() { return m_words.data() + static_cast<ptrdiff_t>(kGuard) * m_rowLength + m_side; }
    int Pitch() const { return m_rowLength * 4; }
    int Rows() const { return m_height; }
    void Reset() { std::fill(m_words.begin(), m_words.end(), kUntouched); }

    // The first guard pixel a draw changed, as "x,y" from the area's top-left corner; empty if none.
    std::string TouchedGuard() const {
        for (size_t i = 0; i < m_words.size(); ++i) {
            const int x = static_cast<int>(i % m_rowLength) - m_side;
            const int y = static_cast<int>(i / m_rowLength) - kGuard;
            const bool inArea = x >= 0 && x < m_width && y >= 0 && y < m_height;
            if (!inArea && m_words[i] != kUntouched) {
                return std::to_string(x) + "," + std::to_string(y);
            }
        }
        return "";
    }

private:
    int m_side;
    int m_rowLength;
    std::vector<DWORD> m_words;
    int m_width;
    int m_height;
};

TEST_F(PictureFuzzTest, AlphabetLoadsWholeOrFailsWithBothLinesAndDrawsOnlyInItsPlaces) {
    std::vector<PictureSeed> seeds = BitmapSeeds();
    seeds.push_back({"small alphabet", SmallAlphabet(), fuzz::BmpNumbers()});
    seeds.push_back(
        {"game alphabet", ReadFileBytes("..\\Alfabeto\\Expo_16x32_VARNOX.bmp"), fuzz::BmpNumbers()});
    constexpr int kCellWidth = 8;
    constexpr int kCellHeight = 16;
    // Every code in draws of up to 120 characters, each ending in '!' (the second cell, which every
    // alphabet with cells has): the last place of a full draw then reaches the right guard if a cell
    // is copied too wide.
    std::vector<std::string> texts;
    std::string codes;
    for (int code = 1; code < 256; ++code) {
        codes += static_cast<char>(code);
    }
    for (size_t i = 0; i < codes.size(); i += 119) {
        texts.push_back(codes.substr(i, 119) + "!");
    }
    // The whole draw, and one cut by memory narrower than a text and a little higher than a cell.
    GuardedCanvas whole(120 * kCellWidth, kCellHeight, true);
    GuardedCanvas clipped(100, kCellHeight + 8, false);
    ForEachPictureMutant(seeds, kMutantsPerSeed, kSpoiledFile, [&](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        const HRESULT hr = InitAlphabet(kSpoiledFile, kCellWidth, kCellHeight);
        if (FAILED(hr)) {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_EQ(g_bAlphabetLoaded, 0);
            EXPECT_EQ(recorder.ErrorLineCount("Unable to load alphabet bitmap"), 1);
            // The loader's own line comes first.
            EXPECT_EQ(recorder.Outputs().size(), 6u) << recorder.Joined();
        } else {
            EXPECT_EQ(g_bAlphabetLoaded, 1);
            EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
            EXPECT_EQ(g_AlphabetCellsPerRow, g_AlphabetWidth / kCellWidth);
            for (const std::string& text : texts) {
                whole.Reset();
                PrintString(0, 0, text.c_str(), 1, 0xFF000000, whole.Area(), whole.Pitch());
                EXPECT_EQ(whole.TouchedGuard(), "") << "PrintString of " << text.size() << " characters";
                // Partly left of and above the memory, then partly left of and below it.
                clipped.Reset();
                PrintStringClipped(-5, -6, text.c_str(), 1, 0xFF000000, clipped.Area(), clipped.Pitch(),
                                   clipped.Rows());
                PrintStringClipped(-5, clipped.Rows() - 5, text.c_str(), 1, 0xFF000000, clipped.Area(),
                                   clipped.Pitch(), clipped.Rows());
                EXPECT_EQ(clipped.TouchedGuard(), "") << "PrintStringClipped";
            }
        }
        ReleaseAlphabet();
        return SUCCEEDED(hr);
    });
}

} // namespace
