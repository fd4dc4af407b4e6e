// Picture files built byte by byte for the picture check's tests.
#include "crafted_pictures.h"
#include "bitmap_file.h"

#include <zlib.h>

#include <initializer_list>
#include <vector>

namespace {

constexpr size_t kMebibyte = 1024 * 1024;
constexpr uint16_t kHuge = 60000;

uint32_t GetBig16(const std::string& in, size_t at) {
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
    const std::string acScan = JpegSegment(0xDA, std::string{1, 1, 0x00, 1, 63, 0}) +
                               ZeroBits((blocks + kLongestEndOfBands - 1) / kLongestEndOfBands * 15);
    for (int i = 0; i < acScans; ++i) {
        jpeg += acScan;
    }
    return jpeg + "\xFF\xD9";
}

std::string JpegWithHiddenFrameHeader(const std::string& jpeg) {
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[at + 1]) != 0xC0) {
        at += 2 + GetBig16(jpeg, at + 2);
    }
    if (at + 9 > jpeg.size()) {
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
