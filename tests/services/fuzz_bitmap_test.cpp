// Spoiled BMP files through LoadBitmapSurface: a surface of the picture, or E_FAIL with the one
// debugger line of the step that failed; nothing crashes or hangs.
#include "harness.h"
#include "spoiled_pictures.h"

namespace {

const char kSpoiledFile[] = "guasta.bmp";
constexpr int kMutantsPerSeed = 48;

const char* const kStepLines[] = {"Unable to load bitmap", "Unable to create surface for bitmap load",
                                  "Unable to load file to surface"};

class BitmapFuzzTest : public DeviceTest {};

TEST_F(BitmapFuzzTest, LoadBitmapSurfaceGivesTheSurfaceOrTheLineOfTheFailedStep) {
    std::vector<PictureSeed> seeds = BitmapSeeds();
    // Not a BMP at all: GDI refuses these at the first step, whole or spoiled.
    const std::vector<PictureSeed> pictures = PictureSeeds();
    for (auto other = pictures.end() - 2; other != pictures.end(); ++other) {
        seeds.push_back(*other);
        seeds.back().loads = false;
    }
    ForEachPictureMutant(seeds, kMutantsPerSeed, kSpoiledFile, [](const std::string& what) {
        SCOPED_TRACE(what);
        DebugOutputRecorder recorder;
        IDirect3DSurface9* surface = nullptr;
        const HRESULT hr = LoadBitmapSurface(kSpoiledFile, &surface, g_pd3dDevice);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(hr, S_OK);
            D3DSURFACE_DESC desc = {};
            if (surface) {
                surface->GetDesc(&desc);
            }
            EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
            EXPECT_TRUE(recorder.Outputs().empty()) << recorder.Joined();
        } else {
            EXPECT_EQ(hr, E_FAIL);
            int lines = 0;
            for (size_t step = 0; step < 3; ++step) {
                if (recorder.HasErrorLine(kStepLines[step])) {
                    ++lines;
                    // Only the last step leaves a surface behind, for the caller to release.
                    if (step < 2) {
                        EXPECT_EQ(surface, nullptr);
                    }
                }
            }
            EXPECT_EQ(lines, 1);
            EXPECT_EQ(recorder.Outputs().size(), 3u) << recorder.Joined();
        }
        SafeRelease(surface);
        return SUCCEEDED(hr);
    });
}

} // namespace
