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

// A TGA header: true colour, 32 bits a pixel, with `pixels` bytes after it.
inline std::string TgaPicture(uint16_t width, uint16_t height, size_t pixels) {
    std::string tga(18, '\0');
    tga[2] = 2; // true colour, uncompressed
    tga = Patched(Patched(tga, 12, width, 2), 14, height, 2);
    tga[16] = 32;
    return tga + std::string(pixels, '\x40');
}

struct SpoiledPicture {
    const char* what;
    std::string bytes;
};

// The spoiled files that crashed or held the platform's picture loaders under any of the game's picture
// names (D3DX tells a picture by its content, not its name), of every format they read. Each is refused
// by the picture check.
inline std::vector<SpoiledPicture> SpoiledPictureKinds() {
    const std::vector<uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint8_t> indices(6 * 4, 1);
    const std::string palette = EncodePaletteBitmap(6, 4, colours, indices, false);
    const std::string runs = EncodePaletteBitmap(6, 4, colours, indices, true);
    const std::string cursor = ReadFileBytes("..\\Immagini\\Mouse\\cursore.bmp");
    const std::string png = ReadFileBytes("..\\Immagini\\Slider\\slider.png");
    const std::string jpeg = ReadFileBytes("..\\Immagini\\GUI\\HELP.jpg");
    const std::string dds = ReadFileBytes("..\\Data\\Textures\\rumore.dds"); // a volume
    const std::vector<fuzz::Number> frame = fuzz::JpegNumbers(jpeg);         // length, height, width
    if (cursor.size() < 100 || png.size() < 100 || dds.size() < 128 || frame.size() != 3) {
        return {}; // the build's pictures are missing: the caller's count check fails
    }
    constexpr size_t kWidthAt = 18;
    constexpr size_t kHeightAt = 22;
    constexpr size_t kOffsetAt = 10;
    constexpr uint32_t kHuge = 60000;
    const std::string blackRows(16 * (1 + 16), '\0'); // a 16 x 16 grey picture's filter bytes and pixels
    std::string texts;
    for (int i = 0; i < 4; ++i) {
        texts += PngChunk("zTXt", std::string("Comment\0\0", 9) + ZerosStream(256));
    }
    return {
        {"palette BMP 0x7FFFFFFF wide", Patched(palette, kWidthAt, 0x7FFFFFFF)},
        {"BMP cut short", cursor.substr(0, cursor.size() / 2)},
        {"BMP with its pixels past the file",
         Patched(cursor, kOffsetAt, static_cast<uint32_t>(cursor.size()) + 16)},
        {"BMP 60000 x 60000", Patched(Patched(palette, kWidthAt, kHuge), kHeightAt, kHuge)},
        {"RLE8 BMP 16384 x 16384", Patched(Patched(runs, kWidthAt, 16384), kHeightAt, 16384)},
        {"PNG 60000 x 60000", PatchedBigEndian(PatchedBigEndian(png, 16, kHuge), 20, kHuge)},
        {"JPEG 60000 x 60000",
         PatchedBigEndian(PatchedBigEndian(jpeg, frame[1].offset, kHuge, 2), frame[2].offset, kHuge, 2)},
        {"headerless palette bitmap 0x7FFFFFFF wide", Patched(palette.substr(14), kWidthAt - 14, 0x7FFFFFFF)},
        {"DDS volume 65536 x 65536 x 65536", Patched(Patched(Patched(dds, 12, 65536), 16, 65536), 24, 65536)},
        {"DDS with 0xFFFFFFFF mipmap levels", Patched(dds, 28, 0xFFFFFFFF)},
        {"TGA 32768 x 32768", TgaPicture(32768, 32768, 64)},
        {"JPEG hiding a frame header of 60000 x 60000 behind FF 00", JpegWithHiddenFrameHeader(jpeg)},
        {"DDS of palette indices without a palette", PaletteDds()},
        {"progressive JPEG 4096 x 4096 with 1000 scans", ProgressiveJpeg(4096, 4096, 1000)},
        {"PNG whose four texts inflate to 1 GiB", PngFile(16, 16, 8, 0, false, ZlibStream(blackRows), texts)},
        {"PNG whose image data runs on to 1 GiB", PngFile(16, 16, 8, 0, false, ZerosStream(1024))},
        {"DDS volume in DXT1 blocks", DxtVolumeDds()},
        {"BMP of 32-bit bit fields with red in the low byte", LowRedBitFieldsBitmap()},
    };
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
