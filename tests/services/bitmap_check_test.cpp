// The BMP header check: sound files of every kind pass it, and each kind of spoiling is refused, the
// check alone and through the two picture loaders that crashed on such files.
#include "harness.h"
#include "bitmap_file.h"
#include "spoiled_pictures.h"

#include "services/picture_file.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kFile[] = "prova.bmp";

// Where the fields lie in a file with an info header (a core header's are 16 bits from 18 on).
constexpr size_t kOffsetAt = 10;
constexpr size_t kHeaderSizeAt = 14;
constexpr size_t kWidthAt = 18;
constexpr size_t kHeightAt = 22;
constexpr size_t kPlanesAt = 26;
constexpr size_t kBitsAt = 28;
constexpr size_t kCompressionAt = 30;
constexpr size_t kImageSizeAt = 34;
constexpr size_t kColoursUsedAt = 46;
constexpr size_t kColourSpaceAt = 14 + 56;  // of a V5 header
constexpr size_t kProfileDataAt = 14 + 112; // from the header's start
constexpr size_t kProfileSizeAt = 14 + 116;

// A sound BMP: the headers, `table` (masks and palette), then the pixels, with the pixel offset
// and the image size filled in. Without pixels given, the zero rows the sizes ask for.
std::string MakeBmp(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                    const std::string& table, uint32_t coloursUsed = 0, std::string pixels = "") {
    if (pixels.empty()) {
        const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
        pixels.assign(stride * static_cast<size_t>(height < 0 ? -height : height), '\0');
    }
    std::string header;
    PutLE(header, headerSize, 4);
    if (headerSize == 12) {
        PutLE(header, static_cast<uint32_t>(width), 2);
        PutLE(header, static_cast<uint32_t>(height), 2);
        PutLE(header, 1, 2);
        PutLE(header, bits, 2);
    } else {
        PutLE(header, static_cast<uint32_t>(width), 4);
        PutLE(header, static_cast<uint32_t>(height), 4);
        PutLE(header, 1, 2);
        PutLE(header, bits, 2);
        PutLE(header, compression, 4);
        PutLE(header, static_cast<uint32_t>(pixels.size()), 4);
        PutLE(header, 2835, 4);
        PutLE(header, 2835, 4);
        PutLE(header, coloursUsed, 4);
        PutLE(header, 0, 4);
        header.resize(headerSize, '\0');
    }
    const uint32_t offset = static_cast<uint32_t>(14 + header.size() + table.size());
    std::string file = "BM";
    PutLE(file, offset + static_cast<uint32_t>(pixels.size()), 4);
    PutLE(file, 0, 4);
    PutLE(file, offset, 4);
    return file + header + table + pixels;
}

std::string Entries(int count, int bytesEach) {
    return std::string(static_cast<size_t>(count) * bytesEach, '\x40');
}

std::string Masks(uint32_t red, uint32_t green, uint32_t blue) {
    std::string masks;
    for (uint32_t mask : {red, green, blue}) {
        PutLE(masks, mask, 4);
    }
    return masks;
}

// The 5-6-5 masks of a 16-bit file, or the 8-8-8 ones of a 32-bit file.
std::string Masks(uint32_t bitsPerPixel = 16) {
    return bitsPerPixel == 32 ? Masks(0xFF0000, 0xFF00, 0xFF) : Masks(0xF800, 0x07E0, 0x001F);
}

// Six pixels a row in four rows, one run a row, then the end of the picture.
std::string Runs(char value) {
    std::string runs;
    for (int row = 0; row < 4; ++row) {
        runs += std::string("\x06", 1) + value + std::string("\0\0", 2);
    }
    return runs + std::string("\0\1", 2);
}

struct Sample {
    const char* name;
    std::string bytes;
};

// One sound file of every kind the check knows.
std::vector<Sample> SoundKinds() {
    std::string core = MakeBmp(12, 6, 4, 8, BI_RGB, Entries(256, 3));
    std::string v5Profile = MakeBmp(124, 6, 4, 24, BI_RGB, "") + "profilo";
    v5Profile = Patched(v5Profile, kColourSpaceAt, 0x4D424544); // 'MBED'
    v5Profile = Patched(v5Profile, kProfileDataAt, static_cast<uint32_t>(v5Profile.size() - 14 - 7));
    v5Profile = Patched(v5Profile, kProfileSizeAt, 7);
    std::string masksInHeader = MakeBmp(56, 6, 4, 32, BI_BITFIELDS, "");
    masksInHeader.replace(14 + 40, 12, Masks(32));
    return {
        {"core, 1 bit", MakeBmp(12, 6, 4, 1, BI_RGB, Entries(2, 3))},
        {"core, 4 bits", MakeBmp(12, 6, 4, 4, BI_RGB, Entries(16, 3))},
        {"core, 8 bits", core},
        {"core, 24 bits", MakeBmp(12, 6, 4, 24, BI_RGB, "")},
        {"1 bit", MakeBmp(40, 6, 4, 1, BI_RGB, Entries(2, 4))},
        {"4 bits, 3 colours used", MakeBmp(40, 6, 4, 4, BI_RGB, Entries(3, 4), 3)},
        {"8 bits", MakeBmp(40, 6, 4, 8, BI_RGB, Entries(256, 4))},
        {"16 bits", MakeBmp(40, 6, 4, 16, BI_RGB, "")},
        {"16 bits, bit fields", MakeBmp(40, 6, 4, 16, BI_BITFIELDS, Masks())},
        {"24 bits, top-down", MakeBmp(40, 6, -4, 24, BI_RGB, "")},
        {"24 bits with a palette", MakeBmp(40, 6, 4, 24, BI_RGB, Entries(4, 4), 4)},
        {"32 bits", MakeBmp(40, 6, 4, 32, BI_RGB, "")},
        {"RLE8", MakeBmp(40, 6, 4, 8, BI_RLE8, Entries(4, 4), 4, Runs('\x02'))},
        {"RLE4", MakeBmp(40, 6, 4, 4, BI_RLE4, Entries(16, 4), 0, Runs('\x12'))},
        {"52-byte header", MakeBmp(52, 6, 4, 24, BI_RGB, "")},
        {"56-byte header, bit fields", masksInHeader},
        {"V4 header", MakeBmp(108, 6, 4, 24, BI_RGB, "")},
        {"V5 header, embedded profile", v5Profile},
        {"4096 wide", MakeBmp(40, 4096, 1, 1, BI_RGB, Entries(2, 4))},
        {"4096 high, top-down", MakeBmp(40, 1, -4096, 1, BI_RGB, Entries(2, 4))},
    };
}

bool Spoiled(const std::string& bytes) {
    WriteFileBytes(kFile, bytes);
    return PictureFileIsSpoiled(kFile);
}

class BitmapCheckTest : public ::testing::Test {
protected:
    void TearDown() override { RemovePath(kFile); }
};

TEST_F(BitmapCheckTest, SoundFilesOfEveryKindPass) {
    for (const Sample& sample : SoundKinds()) {
        EXPECT_FALSE(Spoiled(sample.bytes)) << sample.name;
    }
    for (const PictureSeed& seed : BitmapSeeds()) {
        EXPECT_FALSE(Spoiled(seed.bytes)) << seed.name;
    }
}

TEST_F(BitmapCheckTest, EveryCutOfASoundFileIsSpoiled) {
    for (const Sample& sample : SoundKinds()) {
        // Every cut through the file header and the fields of the headers, and through the last
        // pixels; between them some thirty more, which keeps the long palettes and the large sides quick.
        const size_t size = sample.bytes.size();
        const size_t step = std::max<size_t>(8, size / 30);
        for (size_t length = 2; length < size; length += length < 58 || length + 4 >= size ? 1 : step) {
            ASSERT_TRUE(Spoiled(sample.bytes.substr(0, length))) << sample.name << " cut to " << length;
        }
    }
}

TEST_F(BitmapCheckTest, PixelsThatDoNotLieAfterTheTablesAndWithinTheFileAreSpoiled) {
    const std::string palette = MakeBmp(40, 6, 4, 8, BI_RGB, Entries(256, 4));
    const uint32_t offset = 14 + 40 + 256 * 4;
    for (uint32_t bad :
         {0xFFFFFFFFu, 0x7FFFFFFFu, 0x0FFFFFFFu, 0x80000000u, offset + 1, 0u, 14u, offset - 1}) {
        EXPECT_TRUE(Spoiled(Patched(palette, kOffsetAt, bad))) << "offset " << bad;
    }
    // A gap between the palette and the pixels is allowed, as long as the pixels still fit.
    std::string gap = palette + "    ";
    EXPECT_FALSE(Spoiled(Patched(gap, kOffsetAt, offset + 4)));

    // The masks after a 40-byte header come before the pixels too.
    const std::string fields = MakeBmp(40, 6, 4, 16, BI_BITFIELDS, Masks());
    EXPECT_TRUE(Spoiled(Patched(fields, kOffsetAt, 14 + 40)));

    // A V5 header's colour profile, embedded or linked, lies within the file.
    for (const Sample& sample : SoundKinds()) {
        if (std::string(sample.name) == "V5 header, embedded profile") {
            const uint32_t end = static_cast<uint32_t>(sample.bytes.size() - 14);
            EXPECT_TRUE(Spoiled(Patched(sample.bytes, kProfileSizeAt, 8)));
            EXPECT_TRUE(Spoiled(Patched(sample.bytes, kProfileDataAt, end)));
            EXPECT_TRUE(Spoiled(Patched(sample.bytes, kProfileDataAt, 0xFFFFFFFF)));
            EXPECT_TRUE(
                Spoiled(Patched(Patched(sample.bytes, kColourSpaceAt, 0x4C494E4B), kProfileSizeAt, 8)));
            EXPECT_FALSE(Spoiled(Patched(Patched(sample.bytes, kColourSpaceAt, 0), kProfileSizeAt, 8)))
                << "no profile: its fields mean nothing";
        }
    }
}

TEST_F(BitmapCheckTest, SidesOutsideOneTo4096AreSpoiled) {
    // Files long enough for the sizes, so the bound itself refuses them.
    EXPECT_TRUE(Spoiled(MakeBmp(40, 4097, 1, 1, BI_RGB, Entries(2, 4))));
    EXPECT_TRUE(Spoiled(MakeBmp(40, 1, 4097, 1, BI_RGB, Entries(2, 4))));
    EXPECT_TRUE(Spoiled(MakeBmp(40, 1, -4097, 1, BI_RGB, Entries(2, 4))));
    EXPECT_TRUE(Spoiled(MakeBmp(12, 4097, 1, 1, BI_RGB, Entries(2, 3))));

    const std::string palette = MakeBmp(40, 6, 4, 8, BI_RGB, Entries(256, 4));
    for (uint32_t width : {0u, 0xFFFFFFFFu, 0xFFFFFFFAu, 0x7FFFFFFFu, 0x80000000u}) {
        EXPECT_TRUE(Spoiled(Patched(palette, kWidthAt, width))) << "width " << width;
    }
    for (uint32_t height : {0u, 0x80000000u, 0x7FFFFFFFu, 0xFFFF0000u}) {
        EXPECT_TRUE(Spoiled(Patched(palette, kHeightAt, height))) << "height " << height;
    }
    const std::string core = MakeBmp(12, 6, 4, 24, BI_RGB, "");
    EXPECT_TRUE(Spoiled(Patched(core, kWidthAt, 0, 2)));
    EXPECT_TRUE(Spoiled(Patched(core, kWidthAt + 2, 0, 2)));
    EXPECT_TRUE(Spoiled(Patched(core, kWidthAt, 0xFFFF, 2)));
}

TEST_F(BitmapCheckTest, DepthsPlanesAndCompressionsNoLoaderTakesAreSpoiled) {
    // Room for any depth up to 64 bits a pixel and a full palette: only the field under test is wrong.
    const std::string roomy = MakeBmp(40, 8, 4, 8, BI_RGB, Entries(256, 4), 0, std::string(8 * 8 * 4, '\0'));
    for (uint32_t bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
        EXPECT_FALSE(Spoiled(Patched(roomy, kBitsAt, bits, 2))) << bits << " bits";
    }
    for (uint32_t bits : {0u, 2u, 3u, 15u, 48u, 64u}) {
        EXPECT_TRUE(Spoiled(Patched(roomy, kBitsAt, bits, 2))) << bits << " bits";
    }
    for (uint32_t planes : {0u, 2u}) {
        EXPECT_TRUE(Spoiled(Patched(roomy, kPlanesAt, planes, 2))) << planes << " planes";
    }
    struct Pairing {
        uint32_t bits;
        uint32_t compression;
        bool sound;
    };
    const Pairing pairings[] = {
        {8, BI_RLE8, true},        {4, BI_RLE4, true},       {16, BI_BITFIELDS, true},
        {32, BI_BITFIELDS, true},  {4, BI_RLE8, false},      {8, BI_RLE4, false},
        {24, BI_BITFIELDS, false}, {8, BI_BITFIELDS, false}, {8, BI_JPEG, false},
        {24, BI_PNG, false},       {32, 6, false},           {24, 0xFFFFFFFF, false},
    };
    for (const Pairing& p : pairings) {
        std::string file = Patched(Patched(roomy, kBitsAt, p.bits, 2), kCompressionAt, p.compression);
        file.replace(14 + 40, 12, Masks(p.bits));
        EXPECT_EQ(Spoiled(file), !p.sound) << p.bits << " bits, compression " << p.compression;
    }
    const std::string core = MakeBmp(12, 8, 4, 8, BI_RGB, Entries(256, 3), 0, std::string(8 * 8 * 4, '\0'));
    EXPECT_FALSE(Spoiled(Patched(core, 24, 24, 2)));
    for (uint32_t bits : {16u, 32u, 2u}) {
        EXPECT_TRUE(Spoiled(Patched(core, 24, bits, 2))) << "core, " << bits << " bits";
    }
    for (uint32_t size : {0u, 11u, 13u, 16u, 39u, 41u, 64u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(Spoiled(Patched(roomy, kHeaderSizeAt, size))) << "header of " << size << " bytes";
    }
}

TEST_F(BitmapCheckTest, BitFieldsPassOnlyInTheLayoutsTheDecoderReadsSoundly) {
    struct Fields {
        uint32_t headerSize, bits, red, green, blue, alpha;
        bool sound;
    };
    const Fields fields[] = {
        {40, 16, 0xF800, 0x07E0, 0x001F, 0, true},
        {40, 16, 0x7C00, 0x03E0, 0x001F, 0, true},
        {40, 32, 0xFF0000, 0xFF00, 0xFF, 0, true},
        {108, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, true},
        {124, 32, 0xFF0000, 0xFF00, 0xFF, 0, true},
        {40, 32, 0xFF, 0xFF00, 0xFF0000, 0, false},
        {108, 32, 0xFF, 0xFF00, 0xFF0000, 0, false},
        {124, 32, 0xFF, 0xFF00, 0xFF0000, 0, false},
        {40, 16, 0xF00, 0xF0, 0xF, 0, false},
        {40, 32, 0, 0, 0, 0, false},
        {40, 16, 0xFF0000, 0xFF00, 0xFF, 0, false},
        {108, 32, 0xFF0000, 0xFF00, 0xFF, 0xFFFFFFFF, false},
        {108, 16, 0x7C00, 0x03E0, 0x001F, 0x8000, false},
    };
    for (const Fields& f : fields) {
        const bool inside = f.headerSize > 40;
        std::string file = MakeBmp(f.headerSize, 4, 4, static_cast<uint16_t>(f.bits), BI_BITFIELDS,
                                   inside ? "" : Masks(f.red, f.green, f.blue));
        if (inside) {
            file.replace(14 + 40, 12, Masks(f.red, f.green, f.blue));
            file = Patched(file, 14 + 52, f.alpha);
        }
        EXPECT_EQ(Spoiled(file), !f.sound)
            << f.headerSize << "-byte header, " << f.bits << " bits, masks " << std::hex << f.red << " "
            << f.green << " " << f.blue << " " << f.alpha;
        EXPECT_EQ(Spoiled(file.substr(14)), !f.sound) << "without the file header";
    }
}

TEST_F(BitmapCheckTest, PalettesTooLargeAreSpoiled) {
    const std::string palette = MakeBmp(40, 6, 4, 8, BI_RGB, Entries(256, 4));
    EXPECT_FALSE(Spoiled(Patched(palette, kColoursUsedAt, 256)));
    for (uint32_t colours : {257u, 0x10000u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(Spoiled(Patched(palette, kColoursUsedAt, colours))) << colours << " colours";
    }
    const std::string mono = MakeBmp(40, 6, 4, 1, BI_RGB, Entries(2, 4) + Entries(2, 4));
    EXPECT_FALSE(Spoiled(mono)) << "room to spare before the pixels";
    EXPECT_TRUE(Spoiled(Patched(mono, kColoursUsedAt, 3))) << "1 bit names two colours only";
    // Above 8 bits the palette is optional, but it must still come before the pixels.
    const std::string deep = MakeBmp(40, 6, 4, 24, BI_RGB, Entries(4, 4), 4);
    EXPECT_TRUE(Spoiled(Patched(deep, kColoursUsedAt, 5)));
    EXPECT_TRUE(Spoiled(Patched(deep, kColoursUsedAt, 0xFFFFFFFF)));
    // A core header's palette is always 2^bpp entries of three bytes.
    const std::string core = MakeBmp(12, 6, 4, 8, BI_RGB, Entries(255, 3));
    EXPECT_TRUE(Spoiled(core));
}

TEST_F(BitmapCheckTest, RunLengthsNeedTheirSizeWithinTheFileAndRowsFromTheBottom) {
    const std::string rle8 = MakeBmp(40, 6, 4, 8, BI_RLE8, Entries(4, 4), 4, Runs('\x02'));
    const uint32_t runs = static_cast<uint32_t>(Runs('\x02').size());
    for (uint32_t size : {0u, runs + 1, 0xFFFFFFFFu, 0x80000000u}) {
        EXPECT_TRUE(Spoiled(Patched(rle8, kImageSizeAt, size))) << "compressed size " << size;
    }
    EXPECT_FALSE(Spoiled(Patched(rle8, kImageSizeAt, runs - 2))) << "the loader reads no further";
    EXPECT_TRUE(Spoiled(Patched(rle8, kHeightAt, static_cast<uint32_t>(-4))));
    const std::string rle4 = MakeBmp(40, 6, 4, 4, BI_RLE4, Entries(16, 4), 0, Runs('\x12'));
    EXPECT_TRUE(Spoiled(Patched(rle4, kImageSizeAt, 0)));
    EXPECT_TRUE(Spoiled(Patched(rle4, kHeightAt, static_cast<uint32_t>(-4))));
}

// The inputs on which Wine's loaders crashed (or hung in the debugger) before the check.
class SpoiledBitmapLoadTest : public DeviceTest {
protected:
    void TearDown() override {
        RemovePath(kFile);
        DeviceTest::TearDown();
    }
};

TEST_F(SpoiledBitmapLoadTest, LoadBitmapSurfaceRefusesTheSpoiledAlphabetAtTheFirstStep) {
    const std::string alphabet = ReadFileBytes("..\\Alfabeto\\Expo_16x32_VARNOX.bmp");
    ASSERT_GT(alphabet.size(), 1000u);
    std::vector<std::string> spoiled;
    for (size_t length :
         {size_t(60), alphabet.size() / 2, alphabet.size() * 3 / 4, alphabet.size() * 9 / 10}) {
        spoiled.push_back(alphabet.substr(0, length));
    }
    for (uint32_t offset : {0xFFFFFFFFu, 0x0FFFFFFFu, 0x7FFFFFFFu}) {
        spoiled.push_back(Patched(alphabet, kOffsetAt, offset));
    }
    for (const std::string& bytes : spoiled) {
        SCOPED_TRACE(::testing::Message() << bytes.size() << " bytes, offset " << GetLE(bytes, kOffsetAt, 4));
        WriteFileBytes(kFile, bytes);
        DebugOutputRecorder recorder;
        IDirect3DSurface9* surface = nullptr;
        EXPECT_EQ(LoadBitmapSurface(kFile, &surface, g_pd3dDevice), E_FAIL);
        EXPECT_EQ(surface, nullptr);
        EXPECT_TRUE(recorder.HasErrorLine("Unable to load bitmap"));
        EXPECT_EQ(recorder.Outputs().size(), 3u) << recorder.Joined();
        SafeRelease(surface);
    }
}

TEST_F(SpoiledBitmapLoadTest, LoadSpriteTextureRefusesAPaletteFile0x7FFFFFFFWide) {
    const std::string palette = MakeBmp(40, 6, 4, 8, BI_RGB, Entries(256, 4));
    LPDIRECT3DTEXTURE9 texture = nullptr;
    WriteFileBytes(kFile, palette);
    LoadSpriteTexture(kFile, &texture);
    ASSERT_NE(texture, nullptr) << "the sound file loads";

    WriteFileBytes(kFile, Patched(palette, kWidthAt, 0x7FFFFFFF));
    DebugOutputRecorder recorder;
    LoadSpriteTexture(kFile, &texture);
    EXPECT_EQ(texture, nullptr) << "the earlier picture is released and none takes its place";
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_EQ(recorder.Outputs().size(), 3u) << recorder.Joined();
    SafeRelease(texture);
}

} // namespace
