// Spoiled pictures through the sprite-picture loader of the buttons and through the alphabet bitmap:
// each load either gives a picture that draws, or reports the Part's debugger lines and leaves the
// picture empty; nothing crashes or hangs.
#include "harness.h"
#include "spoiled_pictures.h"

#include "ui/alphabet.h"
#include "ui/button.h"

namespace {

const char kSpoiledFile[] = "guasta";
constexpr int kMutantsPerSeed = 28;

int ErrorLines(const DebugOutputRecorder& recorder, const std::string& text) {
    const std::vector<std::string> outputs = recorder.Outputs();
    int lines = 0;
    for (size_t i = 0; i + 2 < outputs.size(); ++i) {
        if (outputs[i] == "ERROR: " && outputs[i + 1] == text && outputs[i + 2] == "\n") {
            ++lines;
        }
    }
    return lines;
}

// A palette file 0x7FFFFFFF pixels wide, and a spoiled RLE8 file, crash Wine's picture decoding.
const std::vector<fuzz::KnownCrash> kWineTextureCrashes = {
    {103, 11, "crashes inside Wine's D3DXCreateTextureFromFileExA"},
    {104, 2, "crashes inside Wine's D3DXCreateTextureFromFileExA (windowscodecs)"},
};

// GDI reads a bitmap's pixels from past the end of a truncated file (or past a huge pixel offset)
// whenever the missing part crosses a page.
const std::vector<fuzz::KnownCrash> kWineLoadImageCrashes = {
    {101, 27, "crashes inside Wine's LoadImageA"}, {105, 0, "crashes inside Wine's LoadImageA"},
    {105, 4, "crashes inside Wine's LoadImageA"},  {105, 8, "crashes inside Wine's LoadImageA"},
    {105, 12, "crashes inside Wine's LoadImageA"}, {105, 16, "crashes inside Wine's LoadImageA"},
    {105, 20, "crashes inside Wine's LoadImageA"}, {105, 24, "crashes inside Wine's LoadImageA"},
    {106, 0, "crashes inside Wine's LoadImageA"},  {106, 4, "crashes inside Wine's LoadImageA"},
    {106, 8, "crashes inside Wine's LoadImageA"},  {106, 12, "crashes inside Wine's LoadImageA"},
    {106, 20, "crashes inside Wine's LoadImageA"}, {106, 24, "crashes inside Wine's LoadImageA"},
};

class PictureFuzzTest : public DeviceTest {};

TEST_F(PictureFuzzTest, ButtonPicturesLoadWholeOrAreReportedAndLeftEmpty) {
    ForEachPictureMutant(
        PictureSeeds(), kMutantsPerSeed, kSpoiledFile,
        [](const std::string& what) {
            SCOPED_TRACE(what);
            DebugOutputRecorder recorder;
            CButton button = {};
            button.Init(10.0f, 10.0f);
            button.LoadImages(kSpoiledFile);
            const LPDIRECT3DTEXTURE9 pictures[] = {button.pOverTexture, button.pUpTexture,
                                                   button.pDownTexture};
            int missing = 0;
            for (LPDIRECT3DTEXTURE9 picture : pictures) {
                missing += picture ? 0 : 1;
            }
            // One line for each picture that could not be made, and nothing else.
            EXPECT_EQ(ErrorLines(recorder, "Impossibile caricare la texture"), missing);
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
        },
        kWineTextureCrashes);
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

TEST_F(PictureFuzzTest, AlphabetLoadsWholeOrFailsWithBothLines) {
    std::vector<PictureSeed> seeds = BitmapSeeds();
    seeds.push_back({"small alphabet", SmallAlphabet(), fuzz::BmpNumbers()});
    seeds.push_back(
        {"game alphabet", ReadFileBytes("..\\Alfabeto\\Expo_16x32_VARNOX.bmp"), fuzz::BmpNumbers()});
    // Destination memory as the console's: a screen-sized surface's rows.
    constexpr int kPitch = 1024 * 4;
    std::vector<DWORD> canvas(static_cast<size_t>(kPitch / 4) * 64, 0);
    std::string text;
    for (int code = 1; code < 256; ++code) {
        text += static_cast<char>(code);
    }
    ForEachPictureMutant(
        seeds, kMutantsPerSeed, kSpoiledFile,
        [&](const std::string& what) {
            SCOPED_TRACE(what);
            DebugOutputRecorder recorder;
            const HRESULT hr = InitAlphabet(kSpoiledFile, 8, 16);
            if (FAILED(hr)) {
                EXPECT_EQ(hr, E_FAIL);
                EXPECT_EQ(g_bAlphabetLoaded, 0);
                EXPECT_EQ(ErrorLines(recorder, "Unable to load alphabet bitmap"), 1);
                // The loader's own line comes first.
                EXPECT_EQ(recorder.Outputs().size(), 6u) << recorder.Joined();
            } else {
                EXPECT_EQ(g_bAlphabetLoaded, 1);
                EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
                EXPECT_EQ(g_AlphabetCellsPerRow, g_AlphabetWidth / 8);
                // Every character, with a cell or not, stays inside its 8 x 16 place.
                for (size_t i = 0; i < text.size(); i += 120) {
                    PrintString(0, 0, text.substr(i, 120).c_str(), 1, 0xFF000000, canvas.data(), kPitch);
                }
            }
            ReleaseAlphabet();
        },
        kWineLoadImageCrashes);
}

} // namespace
