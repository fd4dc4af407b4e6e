// Spoiled pictures for the picture loaders' fuzz tests: the game's own small pictures of each format
// and hand-written BMP files of the kinds the game's do not cover (palette, RLE, 32 bits).
#pragma once

#include "harness.h"
#include "mutator.h"
#include "bitmap_file.h"
#include "crafted_pictures.h"

#include <string>
#include <vector>

struct PictureSeed {
    std::string name;
    std::string bytes;
    std::vector<fuzz::Number> numbers;
    bool loads = true; // false for a seed of a format the loader under test refuses whole
};

inline std::vector<PictureSeed> BitmapSeeds() {
    BitmapPicture picture;
    picture.width = 7;
    picture.height = 5;
    for (int i = 0; i < picture.width * picture.height; ++i) {
        picture.pixels.push_back(i % 3 ? 0xFF336699u : 0xFF000000u);
    }
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<uint8_t> indices;
    for (int i = 0; i < 6 * 4; ++i) {
        indices.push_back(static_cast<uint8_t>(i % 4));
    }
    return {{"cursore.bmp", ReadFileBytes("..\\Immagini\\Mouse\\cursore.bmp"), fuzz::BmpNumbers()},
            {"32 bit", EncodeBitmap(picture, 32, true), fuzz::BmpNumbers()},
            {"palette", EncodePaletteBitmap(6, 4, palette, indices, false), fuzz::BmpNumbers()},
            {"rle8", EncodePaletteBitmap(6, 4, palette, indices, true), fuzz::BmpNumbers()}};
}

inline std::vector<PictureSeed> PictureSeeds() {
    std::vector<PictureSeed> seeds = BitmapSeeds();
    const std::string png = ReadFileBytes("..\\Immagini\\Slider\\slider.png");
    const std::string jpeg = ReadFileBytes("..\\Immagini\\GUI\\HELP.jpg");
    seeds.push_back({"slider.png", png, fuzz::PngNumbers()});
    seeds.push_back({"HELP.jpg", jpeg, fuzz::JpegNumbers(jpeg)});
    return seeds;
}

// The spoiled kinds, made from the build's pictures.
inline std::vector<SpoiledPicture> SpoiledPictureKinds() {
    return SpoiledPictureKinds(BuildPictures{
        ReadFileBytes("..\\Immagini\\Mouse\\cursore.bmp"), ReadFileBytes("..\\Immagini\\Slider\\slider.png"),
        ReadFileBytes("..\\Immagini\\GUI\\HELP.jpg"), ReadFileBytes("..\\Data\\Textures\\rumore.dds")});
}

// Writes each of `mutants` spoilings of every seed to `file` and runs load(what) on it, which says
// whether the picture loaded. The unspoiled seed comes first and must load (or be refused, as its
// `loads` says): mutants of a seed that never loaded would test nothing. Stops at the first fatal
// failure.
template <class Load>
void ForEachPictureMutant(const std::vector<PictureSeed>& seeds, int mutants, const char* file, Load load) {
    uint64_t seedNumber = 100;
    for (const PictureSeed& seed : seeds) {
        ASSERT_FALSE(seed.bytes.empty()) << seed.name;
        WriteFileBytes(file, seed.bytes);
        ASSERT_EQ(load(seed.name + " unspoiled"), seed.loads)
            << seed.name << (seed.loads ? " does not load unspoiled" : " loads, which it should not");
        fuzz::Mutator mutator(seed.bytes, ++seedNumber, seed.numbers);
        for (int i = 0; i < mutants; ++i) {
            const fuzz::Mutant mutant = mutator.Next();
            WriteFileBytes(file, mutant.bytes);
            load(seed.name + ", " + mutant.what);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}
