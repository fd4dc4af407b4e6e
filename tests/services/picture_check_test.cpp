// The picture check beyond a BMP's own headers: the size a PNG, a JPEG or a bitmap states, headers that
// cannot be read whole, bitmaps without a file header, the formats the loaders do not read, and every
// picture the build generates.
#include "harness.h"
#include "bitmap_file.h"
#include "crafted_pictures.h"
#include "mutator.h"
#include "spoiled_pictures.h"

#include "services/picture_file.h"

#include <string>
#include <vector>

namespace {

const char kFile[] = "prova";

constexpr size_t kPngWidthAt = 16;
constexpr size_t kPngHeightAt = 20;

bool Spoiled(const std::string& bytes) {
    WriteFileBytes(kFile, bytes);
    return PictureFileIsSpoiled(kFile);
}

// Every picture file under `folder` and its subfolders.
void FindPictures(const std::string& folder, std::vector<std::string>* paths) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        const size_t dot = name.rfind('.');
        const std::string suffix = dot == std::string::npos ? "" : name.substr(dot);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..") {
                FindPictures(folder + "\\" + name, paths);
            }
        } else {
            for (const char* picture : {".bmp", ".png", ".jpg", ".dds"}) {
                if (_stricmp(suffix.c_str(), picture) == 0) {
                    paths->push_back(folder + "\\" + name);
                }
            }
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

// A black 1-bit PNG of the given sides, its image data the rows those sides need while they fit in
// 16 MiB; past that a 1 x 1 picture's sides replaced.
std::string PngSized(uint32_t width, uint32_t height) {
    const uint64_t raw = static_cast<uint64_t>(height) * (1 + (static_cast<uint64_t>(width) + 7) / 8);
    if (raw > 16 * 1024 * 1024) {
        const std::string png = PngSized(1, 1);
        return PatchedBigEndian(PatchedBigEndian(png, kPngWidthAt, width), kPngHeightAt, height);
    }
    return PngFile(width, height, 1, 0, false, ZlibStream(std::string(raw, '\0')));
}

struct JpegFrame {
    size_t lengthAt;
    size_t heightAt;
    size_t widthAt;
};

JpegFrame FrameOf(const std::string& jpeg) {
    const std::vector<fuzz::Number> numbers = fuzz::JpegNumbers(jpeg);
    EXPECT_EQ(numbers.size(), 3u) << "the frame header of a JPEG of the build";
    return numbers.size() == 3 ? JpegFrame{numbers[0].offset, numbers[1].offset, numbers[2].offset}
                               : JpegFrame{};
}

// The JPEG of the build with its stated width and height replaced.
std::string JpegSized(const std::string& jpeg, uint32_t width, uint32_t height) {
    const JpegFrame frame = FrameOf(jpeg);
    return PatchedBigEndian(PatchedBigEndian(jpeg, frame.heightAt, height, 2), frame.widthAt, width, 2);
}

class PictureCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_png = ReadFileBytes("..\\Immagini\\Slider\\slider.png");
        m_jpeg = ReadFileBytes("..\\Immagini\\GUI\\HELP.jpg");
        ASSERT_GT(m_png.size(), 100u);
        ASSERT_GT(m_jpeg.size(), 100u);
    }
    void TearDown() override { RemovePath(kFile); }

    std::string m_png;
    std::string m_jpeg;
};

TEST_F(PictureCheckTest, EveryPictureTheBuildGeneratesPasses) {
    std::vector<std::string> ours;
    for (const char* folder : {"..\\Alfabeto", "..\\Immagini", "..\\Data"}) {
        FindPictures(folder, &ours);
    }
    // Three splash pictures, four title buttons, the cursor, the background, five peg textures, twelve
    // play-screen pictures, the board's texture, two slider pictures, the console's background, the
    // alphabet and the effects' two textures.
    EXPECT_GE(ours.size(), 33u);
    for (const std::string& path : ours) {
        EXPECT_FALSE(PictureFileIsSpoiled(path.c_str())) << path;
    }
}

TEST_F(PictureCheckTest, SidesOfOneTo4096PassAndOthersAreSpoiledInEveryFormat) {
    const std::vector<uint8_t> indices(6 * 4, 1);
    const std::string palette = EncodePaletteBitmap(6, 4, {0, 0xFFFFFF}, indices, false);
    const std::string runs = EncodePaletteBitmap(6, 4, {0, 0xFFFFFF}, indices, true);
    // The run-length pixels fit whatever the sides: only the bound refuses these.
    EXPECT_FALSE(Spoiled(Patched(Patched(runs, 18, 4096), 22, 4096)));
    EXPECT_TRUE(Spoiled(Patched(runs, 18, 4097)));
    EXPECT_TRUE(Spoiled(Patched(runs, 22, 4097)));
    EXPECT_TRUE(Spoiled(Patched(Patched(runs, 18, 16384), 22, 16384)));
    EXPECT_FALSE(Spoiled(Patched(palette.substr(14), 4, 6))) << "a headerless bitmap";
    EXPECT_TRUE(Spoiled(Patched(palette.substr(14), 4, 0x7FFFFFFF)));

    struct Sides {
        uint32_t width;
        uint32_t height;
        bool sound;
    };
    const Sides sides[] = {{1, 1, true},      {4096, 4096, true}, {4096, 1, true}, {4097, 1, false},
                           {1, 4097, false},  {0, 10, false},     {10, 0, false},  {60000, 60000, false},
                           {65535, 8, false}, {8, 65535, false}};
    for (const Sides& s : sides) {
        EXPECT_EQ(Spoiled(JpegSized(m_jpeg, s.width, s.height)), !s.sound)
            << "JPEG " << s.width << " x " << s.height;
        EXPECT_EQ(Spoiled(PngSized(s.width, s.height)), !s.sound) << "PNG " << s.width << " x " << s.height;
    }
    for (uint32_t side : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x10000u}) {
        EXPECT_TRUE(Spoiled(PngSized(side, 8))) << "PNG width " << side;
        EXPECT_TRUE(Spoiled(PngSized(8, side))) << "PNG height " << side;
    }
}

TEST_F(PictureCheckTest, DdsAndTgaStateSidesDepthsAndLevelsWithinTheBounds) {
    // The effects' volume: 16 x 16 x 16, its mipmap count left 0.
    const std::string volume = ReadFileBytes("..\\Data\\Textures\\rumore.dds");
    ASSERT_GT(volume.size(), 128u);
    constexpr size_t kHeightAt = 12, kWidthAt = 16, kDepthAt = 24, kLevelsAt = 28, kCaps2At = 112;
    EXPECT_FALSE(Spoiled(Patched(volume, kLevelsAt, 5))) << "16, 8, 4, 2, 1";
    EXPECT_TRUE(Spoiled(Patched(volume, kLevelsAt, 6)));
    EXPECT_TRUE(Spoiled(Patched(volume, kLevelsAt, 0xFFFFFFFF)));
    EXPECT_FALSE(Spoiled(Patched(Patched(volume, kWidthAt, 4096), kLevelsAt, 13)));
    EXPECT_FALSE(Spoiled(Patched(volume, kDepthAt, 4096))) << "16 x 16 x 4096 texels";
    EXPECT_TRUE(Spoiled(Patched(Patched(Patched(volume, kWidthAt, 4096), kHeightAt, 4096), kDepthAt, 2)))
        << "more texels than a 4096 x 4096 picture";
    for (size_t at : {kWidthAt, kHeightAt, kDepthAt}) {
        for (uint32_t side : {0u, 4097u, 65536u, 0x7FFFFFFFu}) {
            EXPECT_TRUE(Spoiled(Patched(volume, at, side))) << "field at " << at << ": " << side;
        }
    }
    // Palette indices, which the loader converts without a palette, as any of the palette flags.
    constexpr size_t kFormatFlagsAt = 80;
    ASSERT_EQ(GetLE(volume, kFormatFlagsAt, 4), 0x41u) << "32-bit colour with alpha";
    for (uint32_t palette : {0x8u, 0x10u, 0x20u, 0x800u, 0x1000u}) {
        EXPECT_TRUE(Spoiled(Patched(volume, kFormatFlagsAt, 0x41 | palette))) << "flags " << (0x41 | palette);
    }
    // DXT blocks, which the volume loader writes past its buffer on: refused in a volume only.
    constexpr size_t kFourCcAt = 84;
    for (const char* blocks : {"DXT1", "DXT3", "DXT5"}) {
        const std::string compressed =
            Patched(Patched(volume, kFormatFlagsAt, 0x4), kFourCcAt, GetLE(blocks, 0, 4));
        EXPECT_TRUE(Spoiled(compressed)) << blocks;
        EXPECT_FALSE(Spoiled(Patched(compressed, kCaps2At, 0))) << blocks << ", flat";
        EXPECT_FALSE(Spoiled(Patched(compressed, kFormatFlagsAt, 0x41)))
            << blocks << " not named by the flags";
    }
    const std::string flat = Patched(volume, kCaps2At, 0);
    EXPECT_FALSE(Spoiled(Patched(flat, kDepthAt, 0xFFFFFFFF))) << "a flat picture's depth is not read";
    EXPECT_TRUE(Spoiled(Patched(flat, kWidthAt, 4097)));
    EXPECT_TRUE(Spoiled(volume.substr(0, 127)));

    EXPECT_FALSE(Spoiled(TgaPicture(4, 4, 64)));
    EXPECT_FALSE(Spoiled(TgaPicture(4096, 4096, 64))) << "the pixels are the decoder's to judge";
    for (const auto& sides : {std::pair<int, int>{4097, 4}, {4, 4097}, {0, 4}, {4, 0}, {32768, 32768}}) {
        EXPECT_TRUE(
            Spoiled(TgaPicture(static_cast<uint16_t>(sides.first), static_cast<uint16_t>(sides.second), 64)))
            << "TGA " << sides.first << " x " << sides.second;
    }
    std::string runs = TgaPicture(32768, 4, 64);
    runs[2] = 10; // true colour in runs
    EXPECT_TRUE(Spoiled(runs));
    std::string mapped = TgaPicture(32768, 4, 64);
    mapped[1] = 1;
    mapped[2] = 9; // colour-mapped, in runs
    EXPECT_TRUE(Spoiled(mapped));
    EXPECT_TRUE(Spoiled(TgaPicture(4, 4, 0).substr(0, 17)));
    std::string other = TgaPicture(4, 4, 64);
    other[1] = 2; // no colour-map type of a TGA: no format the loaders read
    EXPECT_TRUE(Spoiled(other));
}

TEST_F(PictureCheckTest, HeadersThatCannotBeReadWholeAreSpoiled) {
    // Every cut before the PNG's image header ends, and a first chunk other than a whole image header.
    for (size_t length = 1; length < 8 + 8 + 13; ++length) {
        EXPECT_TRUE(Spoiled(m_png.substr(0, length))) << "PNG cut to " << length;
    }
    EXPECT_TRUE(Spoiled(PatchedBigEndian(m_png, 8, 12)));
    EXPECT_TRUE(Spoiled(PatchedBigEndian(m_png, 8, 14)));
    EXPECT_TRUE(Spoiled(m_png.substr(0, 12) + "IDAT" + m_png.substr(16)));

    // Every cut through the JPEG's segments up to the end of its frame header.
    const JpegFrame frame = FrameOf(m_jpeg);
    const size_t frameEnd = frame.lengthAt + (static_cast<uint8_t>(m_jpeg[frame.lengthAt]) << 8 |
                                              static_cast<uint8_t>(m_jpeg[frame.lengthAt + 1]));
    ASSERT_GT(frameEnd, frame.widthAt);
    for (size_t length = 2; length < frameEnd; ++length) {
        ASSERT_TRUE(Spoiled(m_jpeg.substr(0, length))) << "JPEG cut to " << length;
    }
    EXPECT_FALSE(Spoiled(m_jpeg.substr(0, frameEnd))) << "the pixels are the decoder's to judge";

    const std::string start = m_jpeg.substr(0, 2);
    const std::string afterStart = m_jpeg.substr(2);
    // No frame header before the scan or the end of the picture; a segment shorter than its length.
    EXPECT_TRUE(Spoiled(start + std::string("\xFF\xDA\x00\x02", 4) + afterStart));
    EXPECT_TRUE(Spoiled(start + std::string("\xFF\xD9", 2) + afterStart));
    EXPECT_TRUE(Spoiled(start + std::string("\xFF\xE1\x00\x01", 4) + afterStart));
    EXPECT_TRUE(Spoiled(start + std::string("\xFF\xE1\xFF\xFF", 4) + afterStart));
    // Something else where a marker must stand; fill bytes and a restart marker are allowed.
    EXPECT_TRUE(Spoiled(start + "x" + afterStart));
    EXPECT_FALSE(Spoiled(start + std::string("\xFF\xFF\xFF\xD0", 4) + afterStart));
    // A frame header too short for its components.
    std::string fewComponents = m_jpeg;
    fewComponents[frame.widthAt + 2] = static_cast<char>(0xFF);
    EXPECT_TRUE(Spoiled(fewComponents));

    // A headerless bitmap cut short, or with more pixels than the file holds.
    const std::vector<uint8_t> indices(6 * 4, 1);
    const std::string headerless = EncodePaletteBitmap(6, 4, {0, 0xFFFFFF}, indices, false).substr(14);
    EXPECT_TRUE(Spoiled(headerless.substr(0, headerless.size() - 1)));
    EXPECT_TRUE(Spoiled(headerless.substr(0, 20)));
    EXPECT_TRUE(Spoiled(Patched(headerless, 8, 5)));
    EXPECT_TRUE(Spoiled(Patched(headerless, 0, 64))) << "an OS/2 header";
}

TEST_F(PictureCheckTest, EveryOtherFormatIsRefusedAndFilesThatCannotBeReadAreLeftToTheLoader) {
    EXPECT_FALSE(PictureFileIsSpoiled("no such picture.png"));
    EXPECT_FALSE(PictureFileIsSpoiled(nullptr));
    EXPECT_FALSE(Spoiled(""));
    EXPECT_FALSE(PictureFileIsSpoiled("..\\Immagini\\Slider\\slider.png"));
    EXPECT_FALSE(Spoiled(ReadFileBytes("..\\Data\\Textures\\rumore.dds").substr(0, 200)))
        << "a DDS file cut in its pixels: the platform checks them";

    // One 16 x 16 picture of 32 bits, 1128 bytes from byte 22: read as a TGA, 32 x 1128.
    const std::string icon = std::string("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x68\x04\0\0\x16\0\0\0", 22) +
                             std::string(1128, '\x7F');
    const std::pair<const char*, std::string> others[] = {
        {"GIF", std::string("GIF89a\x01\0\x01\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02L\x01\0;", 29)},
        {"TIFF", std::string("II*\0\x08\0\0\0\0\0", 10)},
        {"icon, whose first bytes read as a TGA without its colour map", icon},
        {"PPM", "P6\n1 1\n255\n\x10\x20\x30"},
        {"PFM", "PF\n1 1\n-1.0\n" + std::string(12, '\0')},
        {"HDR", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 1\n\x80\x80\x80\x81"},
        {"text", "not a picture at all"},
        {"one byte of a bitmap's signature", "B"},
        {"not quite a bitmap", "BA" + std::string(60, '\xFF')},
        {"not quite a PNG", std::string("\x89PNX", 4) + m_png.substr(4)},
        {"not quite a JPEG", std::string("\xFF\xD7", 2) + m_jpeg.substr(2)},
    };
    for (const auto& other : others) {
        EXPECT_TRUE(Spoiled(other.second)) << other.first;
    }
}

TEST_F(PictureCheckTest, TheKindsThatCrashedOrHeldTheLoadersAreSpoiled) {
    const std::vector<SpoiledPicture> kinds = SpoiledPictureKinds();
    ASSERT_EQ(kinds.size(), 21u);
    for (const SpoiledPicture& kind : kinds) {
        EXPECT_TRUE(Spoiled(kind.bytes)) << kind.what;
    }
}

} // namespace
