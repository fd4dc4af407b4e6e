// The picture check reads a JPEG's markers and a PNG's chunks as their decoders do: the frame header a
// walk by the JPEG standard's rules finds, no more scans than sound encoders write, image data that
// inflates to the picture's rows and ends there, and compressed texts within their bound.
#include "harness.h"
#include "bitmap_file.h"
#include "crafted_pictures.h"

#include "services/picture_file.h"

#include <functional>
#include <string>
#include <vector>

namespace {

const char kFile[] = "flusso";
constexpr uint16_t kHuge = 60000;

bool Spoiled(const std::string& bytes) {
    WriteFileBytes(kFile, bytes);
    return PictureFileIsSpoiled(kFile);
}

uint8_t At(const std::string& bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]);
}

uint32_t Big16(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(At(bytes, at)) << 8 | At(bytes, at + 1);
}

// A frame header of side x side, baseline unless `marker` says otherwise, of `precision`-bit samples and
// the components `ids`.
std::string Frame(uint16_t side, uint8_t marker = 0xC0, uint8_t precision = 8,
                  const std::string& ids = "\1") {
    const std::string sides = {static_cast<char>(side >> 8), static_cast<char>(side & 0xFF)};
    std::string header = static_cast<char>(precision) + sides + sides + static_cast<char>(ids.size());
    for (char id : ids) {
        header += {id, 0x11, 0};
    }
    return JpegSegment(marker, header);
}

// The width of the frame header that a walk by the JPEG standard's rules reads, or 0 where the file
// breaks them: where a marker must stand only FF, fill bytes FF and a code other than 00; RSTn and
// TEM alone; every other segment passed over by its length; one frame header; after a scan, its
// entropy-coded data up to the next marker other than RSTn.
uint32_t StandardFrameWidth(const std::string& jpeg) {
    uint32_t width = 0;
    size_t at = 2;
    while (at < jpeg.size()) {
        if (At(jpeg, at) != 0xFF) {
            return 0;
        }
        while (at < jpeg.size() && At(jpeg, at) == 0xFF) {
            ++at;
        }
        if (at >= jpeg.size()) {
            return 0;
        }
        const uint8_t code = At(jpeg, at++);
        if (code == 0x00) {
            return 0;
        }
        if (code == 0xD9) {
            return width;
        }
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            continue;
        }
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            if (width) {
                return 0;
            }
            width = Big16(jpeg, at + 5);
        }
        at += Big16(jpeg, at);
        if (code == 0xDA) {
            for (; at + 1 < jpeg.size(); ++at) {
                size_t code_at = at + 1;
                while (code_at < jpeg.size() && At(jpeg, code_at) == 0xFF) {
                    ++code_at;
                }
                if (At(jpeg, at) == 0xFF && code_at < jpeg.size() && At(jpeg, code_at) != 0x00 &&
                    (At(jpeg, code_at) < 0xD0 || At(jpeg, code_at) > 0xD7)) {
                    break;
                }
            }
        }
    }
    return width;
}

// Tables, a scan of component 1 over the band ending at `last` whose entropy-coded data holds stuffed
// zeros, restarts and fill, and the end.
std::string TablesScanAndEnd(uint8_t last = 63) {
    return JpegSegment(0xDB, std::string(1, '\0') + std::string(64, '\x01')) +
           JpegSegment(0xDA, std::string{1, 1, 0x00, 0, static_cast<char>(last), 0}) +
           std::string("\x12\xFF\x00\x34\xFF\xD0\x56\xFF\xFF\x00\x78\xFF\xD7", 13) + "\xFF\xD9";
}

// A JPEG holding two frame headers, or what looks like one inside another segment, the first stating
// the side `first` and the second `second`.
struct Construction {
    const char* what;
    std::function<std::string(uint16_t first, uint16_t second)> build;
};

TEST(PictureStreamCheckTest, TheCheckReadsTheFrameHeaderTheStandardsWalkReadsOrRefusesTheFile) {
    const std::string start = "\xFF\xD8";
    const std::string rest = TablesScanAndEnd();
    const std::vector<Construction> constructions = {
        {"FF 00 whose length hops over the frame header into an APP1 segment",
         [&](uint16_t first, uint16_t second) {
             const std::string truth = Frame(first);
             // FF 00, then a "length" from itself over the frame header and APP1's marker and length.
             const std::string hop = {'\0', '\0', static_cast<char>(2 + truth.size() + 4)};
             return start + "\xFF" + hop + truth + JpegSegment(0xE1, Frame(second)) + rest;
         }},
        {"fill bytes before the markers",
         [&](uint16_t first, uint16_t second) {
             return start + "\xFF\xFF\xFF" + Frame(first) + "\xFF\xFF" + JpegSegment(0xFE, Frame(second)) +
                    rest;
         }},
        {"stray bytes where a marker must stand",
         [&](uint16_t first, uint16_t second) {
             return start + "\x01\x02" + Frame(first) + JpegSegment(0xFE, Frame(second)) + rest;
         }},
        {"restarts and TEM before the frame header",
         [&](uint16_t first, uint16_t second) {
             return start + "\xFF\xD3\xFF\x01" + Frame(first) + JpegSegment(0xFE, Frame(second)) + rest;
         }},
        {"a frame header inside an APP segment",
         [&](uint16_t first, uint16_t second) {
             return start + JpegSegment(0xE1, Frame(first)) + Frame(second) + rest;
         }},
        {"a frame header inside a COM segment",
         [&](uint16_t first, uint16_t second) {
             return start + JpegSegment(0xFE, Frame(first)) + Frame(second) + rest;
         }},
        {"two frame headers",
         [&](uint16_t first, uint16_t second) { return start + Frame(first) + Frame(second) + rest; }},
        {"a frame header after the scan",
         [&](uint16_t first, uint16_t second) {
             const std::string scan = rest.substr(0, rest.size() - 2);
             return start + Frame(first) + scan + Frame(second) + "\xFF\xD9";
         }},
        {"an APP segment after the scan's data",
         [&](uint16_t first, uint16_t second) {
             const std::string scan = rest.substr(0, rest.size() - 2);
             return start + Frame(first) + scan + JpegSegment(0xE2, Frame(second)) + "\xFF\xD9";
         }},
    };
    for (const Construction& c : constructions) {
        SCOPED_TRACE(c.what);
        const uint32_t read = StandardFrameWidth(c.build(16, 32));
        if (read == 0) {
            EXPECT_TRUE(Spoiled(c.build(16, 32))) << "the standard's walk finds no frame header";
            continue;
        }
        ASSERT_TRUE(read == 16 || read == 32);
        // The frame header the standard reads states the huge side, the other a sound one; then the
        // other way round.
        const bool first = read == 16;
        EXPECT_TRUE(Spoiled(first ? c.build(kHuge, 16) : c.build(16, kHuge)));
        EXPECT_FALSE(Spoiled(first ? c.build(16, kHuge) : c.build(kHuge, 16)));
    }
}

TEST(PictureStreamCheckTest, AJpegMayHoldNoMoreScansThanSoundEncodersWrite) {
    // A DC scan, then AC scans: 16 in all pass, 17 do not.
    EXPECT_FALSE(Spoiled(ProgressiveJpeg(1024, 1024, 15)));
    EXPECT_TRUE(Spoiled(ProgressiveJpeg(1024, 1024, 16)));
    EXPECT_TRUE(Spoiled(ProgressiveJpeg(4096, 4096, 1000)));
    // Scans the decoder decodes again without a warning, which the decode fuzzer cannot tell from sound
    // ones: a component's second scan in a sequential frame, a coefficient's first scan again.
    const std::string end = "\xFF\xD9";
    const std::string scan = JpegSegment(0xDA, std::string{1, 1, 0x00, 0, 63, 0}) + "\x12\x34";
    const std::string sequential = "\xFF\xD8" + Frame(16) + scan;
    EXPECT_FALSE(Spoiled(sequential + end));
    EXPECT_TRUE(Spoiled(sequential + scan + end));
    const std::string progressive = ProgressiveJpeg(16, 16, 1);
    const std::string dcScan = JpegSegment(0xDA, std::string{1, 1, 0x00, 0, 0, 0}) + "\x12";
    EXPECT_TRUE(Spoiled(progressive.substr(0, progressive.size() - 2) + dcScan + end));
    // Restarts inside a scan's data are no scans; fill and stuffed zeros do not end it.
    std::string restarts = ProgressiveJpeg(1024, 1024, 15);
    restarts.insert(restarts.size() - 2, std::string("\xFF\xFF\x00\xFF\xD1\xFF\xD2\xFF\x00", 9));
    EXPECT_FALSE(Spoiled(restarts));
}

TEST(PictureStreamCheckTest, OnlyHuffmanCodedSequentialOrProgressiveFramesOf8BitSamplesPass) {
    const struct {
        const char* what;
        std::string frame; // and what stands before it
        bool spoiled;
    } kFiles[] = {
        {"baseline", Frame(16), false},
        {"extended sequential", Frame(16, 0xC1), false},
        {"baseline, three components", Frame(16, 0xC0, 8, "\1\2\3"), false},
        {"lossless", Frame(16, 0xC3), true},
        {"hierarchical, sequential", Frame(16, 0xC5), true},
        {"hierarchical, progressive", Frame(16, 0xC6), true},
        {"hierarchical, lossless", Frame(16, 0xC7), true},
        {"arithmetic-coded, sequential", Frame(16, 0xC9), true},
        {"arithmetic-coded, lossless", Frame(16, 0xCB), true},
        {"arithmetic-coded, hierarchical, sequential", Frame(16, 0xCD), true},
        {"arithmetic-coded, hierarchical, progressive", Frame(16, 0xCE), true},
        {"arithmetic-coded, hierarchical, lossless", Frame(16, 0xCF), true},
        {"conditioning tables (DAC)", JpegSegment(0xCC, {0x00, 0x10}) + Frame(16), true},
        {"a hierarchical progression (DHP)", Frame(16, 0xDE) + Frame(16), true},
        {"an expanded reference (EXP)", JpegSegment(0xDF, {0x11}) + Frame(16), true},
        {"12-bit samples, baseline", Frame(16, 0xC0, 12), true},
        {"12-bit samples, extended", Frame(16, 0xC1, 12), true},
        // Repeated ids: the decoders part ways on which component a scan then names.
        {"three components, the first id again", Frame(16, 0xC0, 8, "\1\2\1"), true},
    };
    for (const auto& file : kFiles) {
        EXPECT_EQ(Spoiled("\xFF\xD8" + file.frame + TablesScanAndEnd()), file.spoiled) << file.what;
    }
    // A baseline scan's band written as all zeros, as old encoders did, is the whole band; in an
    // extended frame it is a scaled block's size to IJG libjpeg 9.
    EXPECT_FALSE(Spoiled("\xFF\xD8" + Frame(16) + TablesScanAndEnd(0)));
    EXPECT_TRUE(Spoiled("\xFF\xD8" + Frame(16, 0xC1) + TablesScanAndEnd(0)));
}

// The bytes of a PNG's raw rows, counted from Adam7's pattern: each pass's columns and rows are those
// its pixels stand in.
uint64_t RawRows(uint32_t width, uint32_t height, uint32_t bitsPerPixel, bool interlaced) {
    static const int kAdam7[8][8] = {{1, 6, 4, 6, 2, 6, 4, 6}, {7, 7, 7, 7, 7, 7, 7, 7},
                                     {5, 6, 5, 6, 5, 6, 5, 6}, {7, 7, 7, 7, 7, 7, 7, 7},
                                     {3, 6, 4, 6, 3, 6, 4, 6}, {7, 7, 7, 7, 7, 7, 7, 7},
                                     {5, 6, 5, 6, 5, 6, 5, 6}, {7, 7, 7, 7, 7, 7, 7, 7}};
    uint64_t bytes = 0;
    for (int pass = 1; pass <= (interlaced ? 7 : 1); ++pass) {
        uint64_t columns = 0;
        uint64_t rows = 0;
        for (uint32_t x = 0; x < width; ++x) {
            for (int y = 0; y < 8; ++y) {
                if (!interlaced || kAdam7[y][x % 8] == pass) {
                    ++columns;
                    break;
                }
            }
        }
        for (uint32_t y = 0; y < height; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (!interlaced || kAdam7[y % 8][x] == pass) {
                    ++rows;
                    break;
                }
            }
        }
        bytes += columns && rows ? rows * (1 + (columns * bitsPerPixel + 7) / 8) : 0;
    }
    return bytes;
}

TEST(PictureStreamCheckTest, PngImageDataMustInflateToTheRawRowsAndEndThere) {
    struct Shape {
        uint32_t width, height;
        uint8_t depth, colourType;
        uint32_t bitsPerPixel;
        bool interlaced;
    };
    const Shape shapes[] = {{1, 1, 1, 0, 1, false},     {7, 5, 2, 0, 2, true},      {9, 3, 16, 6, 64, true},
                            {33, 17, 4, 3, 4, true},    {4096, 1, 8, 2, 24, false}, {5, 1, 16, 4, 32, true},
                            {300, 200, 8, 6, 32, true}, {2, 9, 16, 2, 48, false}};
    for (const Shape& s : shapes) {
        const uint64_t raw = RawRows(s.width, s.height, s.bitsPerPixel, s.interlaced);
        SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height) + " colour type " +
                     std::to_string(s.colourType) + " depth " + std::to_string(s.depth) +
                     (s.interlaced ? " interlaced" : "") + ", raw " + std::to_string(raw));
        const auto png = [&](uint64_t bytes) {
            return PngFile(s.width, s.height, s.depth, s.colourType, s.interlaced,
                           ZlibStream(std::string(bytes, '\0')));
        };
        EXPECT_FALSE(Spoiled(png(raw)));
        EXPECT_TRUE(Spoiled(png(raw - 1)));
        EXPECT_TRUE(Spoiled(png(raw + 1)));
    }
    // A stream cut short, or running on past the rows.
    const std::string rows = ZlibStream(std::string(16 * 17, '\0'));
    EXPECT_TRUE(Spoiled(PngFile(16, 16, 8, 0, false, rows.substr(0, rows.size() - 4))));
    EXPECT_TRUE(Spoiled(PngFile(16, 16, 8, 0, false, ZerosStream(1))));
    // Colour types and depths PNG does not have.
    for (const auto& typeAndDepth : {std::pair<uint8_t, uint8_t>{3, 16}, {2, 4}, {6, 1}, {0, 3}, {5, 8}}) {
        EXPECT_TRUE(Spoiled(PngFile(16, 16, typeAndDepth.second, typeAndDepth.first, false, rows)));
    }

    // The image data may come in several chunks, but in one run.
    const std::string png = PngFile(16, 16, 8, 0, false, rows);
    const size_t idat = png.find("IDAT") - 4;
    const std::string split = png.substr(0, idat) + PngChunk("IDAT", rows.substr(0, 5)) +
                              PngChunk("IDAT", rows.substr(5)) + png.substr(idat + 12 + rows.size());
    EXPECT_FALSE(Spoiled(split));
    const std::string apart = png.substr(0, idat) + PngChunk("IDAT", rows.substr(0, 5)) +
                              PngChunk("tEXt", std::string("a\0b", 3)) + PngChunk("IDAT", rows.substr(5)) +
                              png.substr(idat + 12 + rows.size());
    EXPECT_TRUE(Spoiled(apart));
    const std::string text = PngChunk("tEXt", std::string("Commento\0", 9) + std::string(1000, 'x'));
    EXPECT_TRUE(Spoiled(png.substr(0, png.size() - 12) + text.substr(0, 100))) << "a chunk cut short";
}

TEST(PictureStreamCheckTest, PngTextsAndProfilesHoldTheirStreamsWhichInflateTo8000000BytesInAll) {
    const std::string rows = ZlibStream(std::string(16 * 17, '\0'));
    const std::string keyword("Commento\0", 9);
    const auto zText = [&](const std::string& stream) { return PngChunk("zTXt", keyword + '\0' + stream); };
    const auto profile = [&](const std::string& stream) {
        return PngChunk("iCCP", std::string("sRGB\0\0", 6) + stream);
    };
    // keyword, compression flag and method, language, translated keyword, text
    const auto iText = [&](bool compressed, const std::string& text) {
        return PngChunk("iTXt", keyword + std::string{static_cast<char>(compressed), 0} + "it" + '\0' +
                                    "Commento" + '\0' + (compressed ? ZlibStream(text) : text));
    };
    const std::string sevenMiB = ZerosStream(7);
    const std::string rest(8000000 - 7 * 1024 * 1024, 'x');
    const std::string full = zText(sevenMiB) + profile(ZlibStream(rest));
    EXPECT_FALSE(Spoiled(PngFile(16, 16, 8, 0, false, rows, full + iText(false, "x"))))
        << "text not compressed";
    EXPECT_TRUE(Spoiled(PngFile(16, 16, 8, 0, false, rows, full + iText(true, "x"))));
    EXPECT_TRUE(Spoiled(PngFile(16, 16, 8, 0, false, rows, profile(ZerosStream(100)))));
    // After the image data too.
    const std::string png = PngFile(16, 16, 8, 0, false, rows, zText(sevenMiB));
    const size_t end = png.size() - 12;
    EXPECT_FALSE(Spoiled(png.substr(0, end) + profile(ZlibStream(rest)) + png.substr(end)));
    EXPECT_TRUE(Spoiled(png.substr(0, end) + iText(true, rest + "x") + png.substr(end)));

    // Each compressed kind cut anywhere short of where its stream starts is refused, since the stream
    // would start past the chunk; cut there, with an empty stream, it passes.
    const std::pair<const char*, std::string> heads[] = {
        {"zTXt", keyword + '\0'},
        {"iCCP", std::string("sRGB\0\0", 6)},
        {"iTXt", keyword + std::string("\1\0it\0Commento\0", 14)}};
    for (const auto& head : heads) {
        for (size_t cut = 0; cut <= head.second.size(); ++cut) {
            const std::string chunk = PngChunk(head.first, head.second.substr(0, cut));
            EXPECT_EQ(Spoiled(PngFile(16, 16, 8, 0, false, rows, chunk)), cut < head.second.size())
                << head.first << " cut to " << cut;
        }
    }
}

} // namespace
