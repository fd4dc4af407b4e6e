// Picture files built byte by byte for the picture check's tests, and the spoiled kinds made of them.
#include "crafted_pictures.h"
#include "bitmap_file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr size_t kMebibyte = 1024 * 1024;
constexpr uint16_t kHuge = 60000;

uint32_t GetBig16(std::string_view in, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(in[at])) << 8 | static_cast<uint8_t>(in[at + 1]);
}

// A Huffman table of one symbol, coded as the single bit 0.
std::string OneSymbolTable(uint8_t classAndIndex, uint8_t symbol) {
    std::string table = {static_cast<char>(classAndIndex), 1};
    table += std::string(15, '\0');
    return table + static_cast<char>(symbol);
}

// Bits of entropy-coded data: `count` zero bits, then ones to the byte's end, FF stuffed with 00.
std::string ZeroBits(uint64_t count) {
    std::string out(count / 8, '\0');
    if (count % 8) {
        const uint8_t last = static_cast<uint8_t>(0xFF >> (count % 8));
        out.push_back(static_cast<char>(last));
        if (last == 0xFF) {
            out.push_back('\0');
        }
    }
    return out;
}

std::string Deflated(z_stream* stream, const std::string& in, int flush) {
    std::string out(deflateBound(stream, in.size()) + 64, '\0');
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream->avail_in = static_cast<uInt>(in.size());
    stream->next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream->avail_out = static_cast<uInt>(out.size());
    deflate(stream, flush);
    out.resize(out.size() - stream->avail_out);
    return out;
}

// A DDS header, its fields from dwSize on: the header's size, flags, height, width, pitch, depth,
// levels and reserved words; the pixel format's size, flags, FOURCC, bit count and masks; the caps.
std::string DdsHeader(std::initializer_list<uint32_t> fields) {
    std::string dds = "DDS ";
    for (uint32_t field : fields) {
        PutLE(dds, field, 4);
    }
    dds.resize(4 + 124, '\0');
    return dds;
}

} // namespace

JpegLayout JpegLayoutOf(std::string_view jpeg) {
    const auto at = [&](size_t i) { return static_cast<uint8_t>(jpeg[i]); };
    JpegLayout layout = {jpeg.size(), {}};
    size_t next = 2;
    while (next + 4 <= jpeg.size() && at(next) == 0xFF && at(next + 1) != 0xD9) {
        const size_t marker = next;
        const uint8_t code = at(marker + 1);
        if (code == 0xFF || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            next += code == 0xFF ? 1 : 2; // fill, or a marker without a length
            continue;
        }
        next = marker + 2 + GetBig16(jpeg, marker + 2);
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame && layout.frame == jpeg.size()) {
            layout.frame = marker;
        }
        if (code == 0xDA) {
            while (next + 1 < jpeg.size() &&
                   !(at(next) == 0xFF && at(next + 1) != 0x00 && (at(next + 1) & 0xF8) != 0xD0)) {
                ++next;
            }
            layout.scans.push_back({marker, std::min(next, jpeg.size())});
        }
    }
    if (layout.frame + 9 > jpeg.size()) {
        layout.frame = jpeg.size(); // the file ends before the sides, and no frame header follows
    }
    return layout;
}

std::string JpegSegment(uint8_t marker, const std::string& data) {
    std::string out = {'\xFF', static_cast<char>(marker)};
    PutBE(out, static_cast<uint32_t>(data.size() + 2), 2);
    return out + data;
}

std::string PngChunk(const char* type, const std::string& data) {
    std::string chunk;
    PutBE(chunk, static_cast<uint32_t>(data.size()), 4);
    const std::string typed = std::string(type, 4) + data;
    chunk += typed;
    PutBE(chunk, crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())), 4);
    return chunk;
}

std::string ZlibStream(const std::string& raw) {
    std::vector<Bytef> deflated(compressBound(static_cast<uLong>(raw.size())));
    uLongf length = static_cast<uLongf>(deflated.size());
    compress(deflated.data(), &length, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    return std::string(deflated.begin(), deflated.begin() + length);
}

std::string PngFile(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, bool interlaced,
                    const std::string& imageStream, const std::string& ancillary) {
    std::string header;
    PutBE(header, width, 4);
    PutBE(header, height, 4);
    header += {static_cast<char>(depth), static_cast<char>(colourType), 0, 0, static_cast<char>(interlaced)};
    return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) + ancillary +
           PngChunk("IDAT", imageStream) + PngChunk("IEND", "");
}

std::string ZerosStream(uint32_t megabytes) {
    const std::string zeros(kMebibyte, '\0');
    z_stream stream = {};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    // After the first mebibyte the window holds only zeros, so the second one's block is the same
    // wherever it stands.
    const std::string first = Deflated(&stream, zeros, Z_SYNC_FLUSH);
    const std::string next = Deflated(&stream, zeros, Z_SYNC_FLUSH);
    std::string end = Deflated(&stream, {}, Z_FINISH); // an empty last block and the checksum
    deflateEnd(&stream);

    const uLong one = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(zeros.data()),
                              static_cast<uInt>(zeros.size()));
    uLong checksum = adler32(0, nullptr, 0);
    std::string out = first;
    for (uint32_t i = 0; i < megabytes; ++i) {
        checksum = adler32_combine(checksum, one, static_cast<z_off_t>(kMebibyte));
        if (i > 0) {
            out += next;
        }
    }
    end.resize(end.size() - 4);
    PutBE(end, static_cast<uint32_t>(checksum), 4);
    return out + end;
}

std::string ProgressiveJpeg(uint16_t width, uint16_t height, int acScans) {
    constexpr uint64_t kLongestEndOfBands = 16384; // EOB14 with its 14 bits all zero
    const uint64_t blocks = static_cast<uint64_t>(width / 8) * (height / 8);
    std::string frame = {8};
    PutBE(frame, height, 2);
    PutBE(frame, width, 2);
    frame += {1, 1, 0x11, 0}; // one component, sampled 1 x 1, quantised by table 0

    std::string jpeg = "\xFF\xD8";
    jpeg += JpegSegment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
    jpeg += JpegSegment(0xC2, frame);
    jpeg += JpegSegment(0xC4, OneSymbolTable(0x00, 0x00)); // DC: no difference
    jpeg += JpegSegment(0xC4, OneSymbolTable(0x10, 0xE0)); // AC: a run of 2^14 bands at their end
    jpeg += JpegSegment(0xDA, std::string{1, 1, 0x00, 0, 0, 0}) + ZeroBits(blocks);
    const std::string endOfBands = ZeroBits((blocks + kLongestEndOfBands - 1) / kLongestEndOfBands * 15);
    for (int i = 0; i < acScans; ++i) {
        const char band = static_cast<char>(1 + i % 63);
        jpeg += JpegSegment(0xDA, std::string{1, 1, 0x00, band, band, 0}) + endOfBands;
    }
    return jpeg + "\xFF\xD9";
}

std::string ArithmeticJpeg() {
    std::string frame = {8};
    PutBE(frame, 4096, 2);
    PutBE(frame, 4096, 2);
    frame += {3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0}; // three components, sampled 1 x 1, table 0

    std::string jpeg = "\xFF\xD8";
    jpeg += JpegSegment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
    jpeg += JpegSegment(0xDD, std::string{0, 1}); // a restart after every block
    jpeg += JpegSegment(0xCA, frame);
    // libjpeg's progression for colour: the components, the band, the bits before and after.
    struct Scan {
        const char* components;
        char first, last, bits;
    };
    const Scan progression[] = {{"\1\2\3", 0, 0, 0x01}, {"\1", 1, 5, 0x02},  {"\3", 1, 63, 0x01},
                                {"\2", 1, 63, 0x01},    {"\1", 6, 63, 0x02}, {"\1", 1, 63, 0x21},
                                {"\1\2\3", 0, 0, 0x10}, {"\3", 1, 63, 0x10}, {"\2", 1, 63, 0x10},
                                {"\1", 1, 63, 0x10}};
    for (const Scan& scan : progression) {
        std::string header(1, static_cast<char>(std::strlen(scan.components)));
        for (const char* c = scan.components; *c; ++c) {
            header += {*c, 0}; // no conditioning tables: the defaults
        }
        jpeg += JpegSegment(0xDA, header + std::string{scan.first, scan.last, scan.bits});
    }
    return jpeg + "\xFF\xD9";
}

std::string JpegWithHiddenFrameHeader(const std::string& jpeg) {
    const size_t at = JpegLayoutOf(jpeg).frame;
    if (at == jpeg.size()) {
        return {};
    }
    const size_t frameLength = 2 + GetBig16(jpeg, at + 2);
    std::string truth = jpeg.substr(at, frameLength);
    std::string decoy = truth;
    for (std::string* frame : {&truth, &decoy}) {
        const uint32_t side = frame == &truth ? kHuge : 16;
        std::string sides;
        PutBE(sides, side, 2);
        PutBE(sides, side, 2);
        frame->replace(5, 4, sides);
    }
    // The hop runs from the FF 00's "length" over the true frame header and APP1's marker and length.
    std::string hidden = "\xFF";
    hidden += '\0';
    PutBE(hidden, static_cast<uint32_t>(2 + truth.size() + 4), 2);
    return jpeg.substr(0, at) + hidden + truth + JpegSegment(0xE1, decoy) + jpeg.substr(at + frameLength);
}

std::string PaletteDds() {
    return DdsHeader({124, 0x1007, 1, 1, 1,  0,    0, 0, 0, 0, 0, 0, 0,     0,
                      0,   0,      0, 0, 32, 0x20, 0, 8, 0, 0, 0, 0, 0x1000}) +
           '\x01';
}

std::string DxtVolumeDds() {
    constexpr uint32_t kDxt1 = 0x31545844;
    const std::string header =
        DdsHeader({124, 0x801007, 132, 128, 0,  1,   0,     0, 0, 0, 0, 0, 0,      0,
                   0,   0,        0,   0,   32, 0x4, kDxt1, 0, 0, 0, 0, 0, 0x1000, 0x200000});
    return header + std::string((128 / 4) * (132 / 4) * 8, '\0'); // 8 bytes a block of 4 x 4
}

std::string LowRedBitFieldsBitmap() {
    std::string bmp = "BM";
    for (uint32_t field : {74u, 0u, 66u, 40u, 1u, 2u}) {
        PutLE(bmp, field, 4);
    }
    bmp += {1, 0, 32, 0}; // planes, bits a pixel
    for (uint32_t field : {3u, 8u, 2835u, 2835u, 0u, 0u, 0xFFu, 0xFF00u, 0xFF0000u, 0u, 0u}) {
        PutLE(bmp, field, 4); // bit fields, pixel bytes, resolution, colours, masks, then the pixels
    }
    return bmp;
}

std::string TgaPicture(uint16_t width, uint16_t height, size_t pixels) {
    std::string tga(18, '\0');
    tga[2] = 2; // true colour, uncompressed
    tga = Patched(Patched(tga, 12, width, 2), 14, height, 2);
    tga[16] = 32;
    return tga + std::string(pixels, '\x40');
}

std::string PngWithTextEndingAtItsKeyword() {
    constexpr size_t kPage = 4096;
    const std::string head = PngFile(1, 1, 8, 0, false, ZlibStream(std::string(2, '\0')));
    const std::string picture = head.substr(0, head.size() - 12); // without IEND
    // A keyword whose chunk's CRC, from its second byte, opens a zlib stream that asks for more: a
    // loose reading inflates from there, past the end of the file.
    std::string text;
    for (int n = 0; text.empty(); ++n) {
        const std::string chunk = PngChunk("zTXt", "Commento " + std::to_string(n) + '\0');
        const uint8_t method = static_cast<uint8_t>(chunk[chunk.size() - 3]);
        const uint8_t flags = static_cast<uint8_t>(chunk[chunk.size() - 2]);
        const uint8_t block = static_cast<uint8_t>(chunk[chunk.size() - 1]);
        if ((method & 0x0F) == 8 && method >> 4 <= 7 && (method * 256 + flags) % 31 == 0 && !(flags & 0x20) &&
            (block >> 1 & 3) != 3) {
            text = chunk;
        }
    }
    // A text chunk before it brings the file to a page's size, so that nothing is mapped after it.
    const size_t padding = kPage - picture.size() - text.size() - 12 - 9;
    return picture + PngChunk("tEXt", std::string("Commento\0", 9) + std::string(padding, 'x')) + text;
}

std::string LargeFrameGif() {
    constexpr uint32_t kWidth = 65535;
    constexpr uint32_t kHeight = 16384;
    constexpr uint32_t kClear = 4; // with two bits a pixel: the clear code, then the end code
    constexpr uint32_t kEnd = 5;
    constexpr uint32_t kLastCode = 4095; // the table's last entry, at 12 bits a code
    std::string gif = "GIF89a";
    PutLE(gif, kWidth, 2);
    PutLE(gif, kHeight, 2);
    gif += std::string("\x80\0\0\0\0\0\xFF\xFF\xFF", 9); // a colour table of black and white
    gif += ',';
    for (uint32_t field : {0u, 0u, kWidth, kHeight}) {
        PutLE(gif, field, 2);
    }
    gif += std::string("\0\x02", 2); // no local table; the codes start at 3 bits

    std::string codes;
    uint32_t pending = 0;
    int pendingBits = 0;
    const auto put = [&](uint32_t code, int bits) {
        pending |= code << pendingBits;
        for (pendingBits += bits; pendingBits >= 8; pendingBits -= 8) {
            codes.push_back(static_cast<char>(pending & 0xFF));
            pending >>= 8;
        }
    };
    put(kClear, 3);
    put(0, 3);
    // Each new code is the previous run and one pixel more, read at the width the table has reached.
    uint64_t pixels = 1;
    for (uint32_t code = kEnd + 1; code <= kLastCode; ++code) {
        int bits = 3;
        while (code >> bits) {
            ++bits;
        }
        put(code, bits);
        pixels += code - kClear;
    }
    // With the table full, the last code but one stays the longest run (the decoder redefines the last).
    while (pixels < static_cast<uint64_t>(kWidth) * kHeight) {
        put(kLastCode - 1, 12);
        pixels += kLastCode - 1 - kClear;
    }
    put(kEnd, 12);
    if (pendingBits > 0) {
        codes.push_back(static_cast<char>(pending & 0xFF));
    }
    for (size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    return gif + std::string("\0;", 2);
}

std::vector<SpoiledPicture> SpoiledPictureKinds(const BuildPictures& from) {
    const std::vector<uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint8_t> indices(6 * 4, 1);
    const std::string palette = EncodePaletteBitmap(6, 4, colours, indices, false);
    const std::string runs = EncodePaletteBitmap(6, 4, colours, indices, true);
    const std::string& cursor = from.cursor;
    const std::string& png = from.png;
    const std::string& jpeg = from.jpeg;
    const std::string& dds = from.volume;
    const size_t frame = JpegLayoutOf(jpeg).frame;
    if (cursor.size() < 100 || png.size() < 100 || dds.size() < 128 || frame == jpeg.size()) {
        return {}; // not the build's pictures: the caller's count check fails
    }
    constexpr size_t kWidthAt = 18;
    constexpr size_t kHeightAt = 22;
    constexpr size_t kOffsetAt = 10;
    const size_t frameHeightAt = frame + 5;
    const size_t frameWidthAt = frame + 7;
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
         PatchedBigEndian(PatchedBigEndian(jpeg, frameHeightAt, kHuge, 2), frameWidthAt, kHuge, 2)},
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
        {"PNG whose last text chunk ends at its keyword's terminator", PngWithTextEndingAtItsKeyword()},
        {"GIF of one 65535 x 16384 frame", LargeFrameGif()},
        {"arithmetic-coded progressive JPEG 4096 x 4096 restarting after every block", ArithmeticJpeg()},
    };
}
