// The picture check run before a file reaches LoadImageA or D3DX. Those loaders tell a picture by its
// content, not its name, and trust its headers: GDI reads a bitmap's palette and pixels wherever the
// headers say, past the end of the file if need be, and the decoders multiply the stated sizes in 32
// bits or loop over them. Here the headers are held against the file and the bounds, all sums in 64
// bits, and read as the decoder will read them: a JPEG's markers by the standard's rules, a PNG's
// chunks with their streams inflated. Layouts the decoders were measured to mishandle are refused.
// The file is mapped, not read: a JPEG's frame header may lie past long metadata.
#include "services/picture_check.h"

#include <windows.h>

#include <cstring>

#include <zlib.h>

namespace {

constexpr uint64_t kFileHeaderSize = 14; // BITMAPFILEHEADER
constexpr uint32_t kCoreHeaderSize = 12; // BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
constexpr uint32_t kInfoHeaderSize = 40; // BITMAPINFOHEADER; the larger ones begin with its fields
// BITMAPINFOHEADER, with the RGB masks, with the alpha mask too, BITMAPV4HEADER, BITMAPV5HEADER.
constexpr uint32_t kInfoHeaderSizes[] = {kInfoHeaderSize, 52, 56, 108, 124};
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint64_t kMaskBytes = 12; // the three masks after a 40-byte header with BI_BITFIELDS
// The OS/2 header D3DX also takes for a bitmap without a file header; nothing here reads it.
constexpr uint32_t kOs2HeaderSize = 64;

// A bitmap without a file header has its pixels right after the masks and the palette.
constexpr uint64_t kPixelsAfterTables = UINT64_MAX;

// Colour space types of a V5 header whose profile data (the profile, or the file name of a linked
// one) lies in the file.
constexpr uint32_t kProfileLinked = 0x4C494E4B;   // 'LINK'
constexpr uint32_t kProfileEmbedded = 0x4D424544; // 'MBED'

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint64_t kPngHeaderEnd = 8 + 8 + 13; // signature, IHDR's length and type, its data
constexpr uint32_t kPngHeaderLength = 13;
constexpr uint64_t kPngChunkFrame = 4 + 4 + 4; // length, type, then the data, then its CRC
// What the compressed texts and the colour profile of a PNG may inflate to in all: the decoder's own
// bound for one chunk, which the platform turns off and then inflates each whole, however long.
// Profiles and texts run to kilobytes.
constexpr uint64_t kMostPngTextBytes = 8000000;

constexpr char kDdsMagic[] = {'D', 'D', 'S', ' '};
constexpr uint64_t kDdsHeaderEnd = 4 + 124;    // the magic, then the header up to the pixels
constexpr uint32_t kDdsVolume = 0x200000;      // DDSCAPS2_VOLUME: the depth counts
constexpr uint64_t kDdsPixelFormatAt = 4 + 72; // its size, flags, FOURCC, bit count, four masks
// DDPF_PALETTEINDEXED4, DDPF_PALETTEINDEXEDTO8, DDPF_PALETTEINDEXED8, DDPF_PALETTEINDEXED1 and 2.
constexpr uint32_t kDdsPaletteFlags = 0x8 | 0x10 | 0x20 | 0x800 | 0x1000;
constexpr uint32_t kDdsFourCc = 0x4;   // DDPF_FOURCC: the FOURCC names the format
constexpr uint32_t kDdsDxt = 0x545844; // "DXT", then the digit in the high byte
// A volume may hold no more texels than the largest flat picture: the platform multiplies the sides
// in 32 bits.
constexpr uint64_t kLargestVolume = static_cast<uint64_t>(kLargestPictureSide) * kLargestPictureSide;

constexpr uint64_t kTgaHeaderSize = 18;

constexpr unsigned char kJpegMarker = 0xFF;
constexpr unsigned char kJpegTem = 0x01;
constexpr unsigned char kJpegHuffmanTables = 0xC4;
constexpr unsigned char kJpegArithmeticTables = 0xCC;
constexpr unsigned char kJpegFirstRestart = 0xD0;
constexpr unsigned char kJpegLastRestart = 0xD7;
constexpr unsigned char kJpegStart = 0xD8;
constexpr unsigned char kJpegEnd = 0xD9;
constexpr unsigned char kJpegScan = 0xDA;
constexpr unsigned char kJpegComment = 0xFE;
constexpr uint64_t kJpegFrameHeader = 8; // length, precision, height, width, component count
// The most scans sound encoders write in a picture the platform loads (16 in colour, fewer in grey);
// each costs the decoder a pass over the whole picture, 4096 x 4096 of it in some 70 ms.
constexpr int kMostJpegScans = 16;

uint32_t ReadLittle16(const unsigned char* p) {
    return static_cast<uint32_t>(p[1]) << 8 | p[0];
}

uint32_t ReadLittle32(const unsigned char* p) {
    return ReadLittle16(p + 2) << 16 | ReadLittle16(p);
}

uint32_t ReadBig16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

uint32_t ReadBig32(const unsigned char* p) {
    return ReadBig16(p) << 16 | ReadBig16(p + 2);
}

bool SideIsSound(int64_t side) {
    return side >= 1 && side <= kLargestPictureSide;
}

// What the headers claim, whichever header the file has.
struct BitmapClaims {
    int64_t width;
    int64_t height; // negative: rows from the top
    uint32_t planes;
    uint32_t bitsPerPixel;
    uint32_t compression;
    uint64_t compressedSize; // of RLE pixels
    uint64_t tableEnd;       // where the masks and the palette end, from the start of the header
};

bool IsInfoHeaderSize(uint32_t size) {
    for (uint32_t known : kInfoHeaderSizes) {
        if (size == known) {
            return true;
        }
    }
    return false;
}

// The palette's entries: biClrUsed, where 0 means all 2^bpp for 8 bits or fewer. More entries than
// the pixels can name is a spoiled count.
bool PaletteEntries(uint32_t bitsPerPixel, uint32_t coloursUsed, uint64_t* entries) {
    if (bitsPerPixel > 8) {
        *entries = coloursUsed;
        return true;
    }
    const uint32_t all = 1u << bitsPerPixel;
    *entries = coloursUsed ? coloursUsed : all;
    return coloursUsed <= all;
}

bool ReadCoreHeader(const unsigned char* header, BitmapClaims* claims) {
    claims->width = ReadLittle16(header + 4);
    claims->height = ReadLittle16(header + 6);
    claims->planes = ReadLittle16(header + 8);
    claims->bitsPerPixel = ReadLittle16(header + 10);
    claims->compression = BI_RGB;
    claims->compressedSize = 0;
    const uint32_t bits = claims->bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return false;
    }
    const uint64_t entries = bits <= 8 ? 1u << bits : 0;
    claims->tableEnd = kCoreHeaderSize + 3 * entries;
    return true;
}

bool ReadInfoHeader(const unsigned char* header, uint32_t headerSize, BitmapClaims* claims) {
    claims->width = static_cast<int32_t>(ReadLittle32(header + 4));
    claims->height = static_cast<int32_t>(ReadLittle32(header + 8));
    claims->planes = ReadLittle16(header + 12);
    claims->bitsPerPixel = ReadLittle16(header + 14);
    claims->compression = ReadLittle32(header + 16);
    claims->compressedSize = ReadLittle32(header + 20);
    const uint32_t bits = claims->bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    // Run lengths of the one depth each is made for; masks only for 16 and 32 bits; no JPEG or PNG
    // inside, nor anything else.
    switch (claims->compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (bits != 8) {
            return false;
        }
        break;
    case BI_RLE4:
        if (bits != 4) {
            return false;
        }
        break;
    case BI_BITFIELDS:
        if (bits != 16 && bits != 32) {
            return false;
        }
        break;
    default:
        return false;
    }
    uint64_t entries = 0;
    if (!PaletteEntries(bits, ReadLittle32(header + 32), &entries)) {
        return false;
    }
    const uint64_t masks =
        claims->compression == BI_BITFIELDS && headerSize == kInfoHeaderSize ? kMaskBytes : 0;
    claims->tableEnd = headerSize + masks + 4 * entries;
    return true;
}

// The bit fields the decoder converts soundly: 5-6-5 and 5-5-5 at 16 bits, 8-8-8 at 32 with or without
// 8 bits of alpha. It refuses most others, but reads gigabytes past its buffer on 32-bit fields with
// red in the low byte in rows from the bottom. The masks stand after a 40-byte header and at the same
// place inside the larger ones; only those of 56 bytes or more have an alpha mask.
struct BitFields {
    uint32_t bitsPerPixel, red, green, blue, alpha;
};
constexpr BitFields kSoundBitFields[] = {{16, 0xF800, 0x07E0, 0x001F, 0},
                                         {16, 0x7C00, 0x03E0, 0x001F, 0},
                                         {32, 0xFF0000, 0xFF00, 0xFF, 0},
                                         {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}};

bool BitFieldsAreSound(const unsigned char* header, uint32_t headerSize, uint32_t bitsPerPixel) {
    const uint32_t alpha = headerSize >= 56 ? ReadLittle32(header + 52) : 0;
    for (const BitFields& sound : kSoundBitFields) {
        if (sound.bitsPerPixel == bitsPerPixel && sound.red == ReadLittle32(header + 40) &&
            sound.green == ReadLittle32(header + 44) && sound.blue == ReadLittle32(header + 48) &&
            sound.alpha == alpha) {
            return true;
        }
    }
    return false;
}

// A V5 header's colour profile lies at an offset from the header's start, `room` bytes before the
// end of the file.
bool ProfileInFile(const unsigned char* header, uint64_t room) {
    const uint32_t type = ReadLittle32(header + 56);
    if (type != kProfileLinked && type != kProfileEmbedded) {
        return true;
    }
    return ReadLittle32(header + 112) + static_cast<uint64_t>(ReadLittle32(header + 116)) <= room;
}

// The headers at `header`, `room` bytes before the end of the file, with the pixels at
// `pixelOffset` from the header's start.
bool HeadersAreSound(const unsigned char* header, uint64_t room, uint64_t pixelOffset) {
    if (room < 4) {
        return false;
    }
    const uint32_t headerSize = ReadLittle32(header);
    if ((headerSize != kCoreHeaderSize && !IsInfoHeaderSize(headerSize)) || room < headerSize) {
        return false;
    }
    BitmapClaims claims = {};
    const bool known = headerSize == kCoreHeaderSize ? ReadCoreHeader(header, &claims)
                                                     : ReadInfoHeader(header, headerSize, &claims);
    if (!known || claims.planes != 1) {
        return false;
    }
    const int64_t rows = claims.height < 0 ? -claims.height : claims.height;
    const bool runLengths = claims.compression == BI_RLE8 || claims.compression == BI_RLE4;
    if (!SideIsSound(claims.width) || !SideIsSound(rows) || (runLengths && claims.height < 0)) {
        return false;
    }
    // The masks and the palette come before the pixels, and the pixels end within the file.
    if (pixelOffset == kPixelsAfterTables) {
        pixelOffset = claims.tableEnd;
    }
    if (claims.tableEnd > pixelOffset) {
        return false;
    }
    uint64_t pixelBytes = claims.compressedSize;
    if (!runLengths) {
        const uint64_t stride = (static_cast<uint64_t>(claims.width) * claims.bitsPerPixel + 31) / 32 * 4;
        pixelBytes = stride * static_cast<uint64_t>(rows);
    }
    if (pixelBytes == 0 || pixelOffset + pixelBytes > room) {
        return false;
    }
    if (claims.compression == BI_BITFIELDS && !BitFieldsAreSound(header, headerSize, claims.bitsPerPixel)) {
        return false;
    }
    return headerSize != kV5HeaderSize || ProfileInFile(header, room);
}

// D3DX also reads a bitmap without its file header: a file that starts with a header's size.
bool StartsAsHeaderlessBitmap(const unsigned char* bytes, uint64_t size) {
    if (size < 4) {
        return false;
    }
    const uint32_t headerSize = ReadLittle32(bytes);
    return headerSize == kCoreHeaderSize || headerSize == kOs2HeaderSize || IsInfoHeaderSize(headerSize);
}

// A file that starts "BM": headers that hold together, tables before the pixels, and all the pixels the
// headers claim.
bool BitmapIsSound(const unsigned char* bytes, uint64_t size) {
    if (size < kFileHeaderSize) {
        return false;
    }
    // The pixel offset counts from the start of the file, the headers' sizes from the info header.
    const uint64_t pixelOffset = ReadLittle32(bytes + 10);
    return pixelOffset >= kFileHeaderSize &&
           HeadersAreSound(bytes + kFileHeaderSize, size - kFileHeaderSize, pixelOffset - kFileHeaderSize);
}

// The same without the file header: the pixels follow the masks and the palette.
bool HeaderlessBitmapIsSound(const unsigned char* bytes, uint64_t size) {
    return HeadersAreSound(bytes, size, kPixelsAfterTables);
}

// The bytes of a PNG's raw rows: a filter byte and the row's bytes for every row of every pass, or 0
// for a colour type and depth PNG does not have.
uint64_t PngRawBytes(uint32_t width, uint32_t height, uint32_t depth, uint32_t colourType, bool interlaced) {
    uint64_t channels = 0;
    switch (colourType) {
    case 0: // grey
        channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ? 1 : 0;
        break;
    case 3: // palette
        channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 ? 1 : 0;
        break;
    case 2: // RGB, grey and alpha, RGBA
    case 4:
    case 6:
        channels = depth != 8 && depth != 16 ? 0 : colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
        break;
    default:
        break;
    }
    if (channels == 0) {
        return 0;
    }
    const auto passBytes = [&](uint32_t x0, uint32_t y0, uint32_t dx, uint32_t dy) -> uint64_t {
        const uint64_t columns = width > x0 ? (width - x0 + dx - 1) / dx : 0;
        const uint64_t rows = height > y0 ? (height - y0 + dy - 1) / dy : 0;
        return columns == 0 ? 0 : rows * (1 + (columns * channels * depth + 7) / 8);
    };
    if (!interlaced) {
        return passBytes(0, 0, 1, 1);
    }
    // Adam7's seven passes: first column and row, then the steps between them.
    return passBytes(0, 0, 8, 8) + passBytes(4, 0, 8, 8) + passBytes(0, 4, 4, 8) + passBytes(2, 0, 4, 4) +
           passBytes(0, 2, 2, 4) + passBytes(1, 0, 2, 2) + passBytes(0, 1, 1, 2);
}

// Counts what a zlib stream inflates to, in pieces, keeping none of it.
class InflatedCounter {
public:
    InflatedCounter() { m_ready = inflateInit(&m_stream) == Z_OK; }
    ~InflatedCounter() {
        if (m_ready) {
            inflateEnd(&m_stream);
        }
    }
    InflatedCounter(const InflatedCounter&) = delete;
    InflatedCounter& operator=(const InflatedCounter&) = delete;

    // Inflates the next piece of the stream until its input is used, the stream ends or fails, or more
    // than `cap` bytes have come out in all.
    void Feed(const unsigned char* bytes, uint64_t size, uint64_t cap) {
        m_stream.next_in = const_cast<unsigned char*>(bytes);
        m_stream.avail_in = static_cast<uInt>(size);
        while (m_ready && !m_ended && !m_failed && m_count <= cap) {
            m_stream.next_out = m_scratch;
            m_stream.avail_out = sizeof(m_scratch);
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            m_count += sizeof(m_scratch) - m_stream.avail_out;
            m_ended = result == Z_STREAM_END;
            m_failed = result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR;
            if (result == Z_BUF_ERROR || (m_stream.avail_in == 0 && m_stream.avail_out != 0)) {
                return; // this piece is used up
            }
        }
    }

    bool Ready() const { return m_ready; }
    bool Ended() const { return m_ended; }
    uint64_t Count() const { return m_count; }

private:
    z_stream m_stream = {};
    unsigned char m_scratch[32 * 1024];
    uint64_t m_count = 0;
    bool m_ready = false;
    bool m_ended = false;
    bool m_failed = false;
};

// Where a compressed ancillary chunk's zlib stream starts in its data, or 0 for a chunk the decoder
// does not inflate: zTXt and iCCP after a keyword and a method byte, a compressed iTXt after its
// keyword, flag, method, language and translated keyword.
uint64_t CompressedTextAt(const unsigned char* type, const unsigned char* data, uint64_t length) {
    const auto afterText = [&](uint64_t from) -> uint64_t {
        const void* end = from < length ? memchr(data + from, 0, length - from) : nullptr;
        return end ? static_cast<const unsigned char*>(end) - data + 1 : 0;
    };
    if (memcmp(type, "zTXt", 4) == 0 || memcmp(type, "iCCP", 4) == 0) {
        const uint64_t method = afterText(0);
        return method ? method + 1 : 0;
    }
    if (memcmp(type, "iTXt", 4) == 0) {
        const uint64_t flag = afterText(0);
        if (!flag || flag + 2 > length || data[flag] == 0) {
            return 0;
        }
        const uint64_t translated = afterText(flag + 2);
        return translated ? afterText(translated) : 0;
    }
    return 0;
}

// The first chunk is IHDR, whole, with sides within the bounds and a colour type and depth PNG has.
// Then every chunk whole, up to IEND. The decoder inflates the compressed text and colour profile it
// meets, all of each, so those may not inflate past kMostPngTextBytes together. The image data, in
// consecutive IDAT chunks, must inflate to the picture's raw rows exactly and end there: the decoder
// inflates a stream that runs on to its end, gigabytes from a few megabytes of file.
bool PngIsSound(const unsigned char* bytes, uint64_t size) {
    if (size < kPngHeaderEnd || ReadBig32(bytes + 8) != kPngHeaderLength ||
        memcmp(bytes + 12, "IHDR", 4) != 0) {
        return false;
    }
    const uint32_t width = ReadBig32(bytes + 16);
    const uint32_t height = ReadBig32(bytes + 20);
    const unsigned char* header = bytes + 24; // depth, colour type, compression, filter, interlace
    if (!SideIsSound(width) || !SideIsSound(height) || header[2] != 0 || header[3] != 0 || header[4] > 1) {
        return false;
    }
    const uint64_t rawBytes = PngRawBytes(width, height, header[0], header[1], header[4] == 1);
    if (rawBytes == 0) {
        return false;
    }
    InflatedCounter image;
    uint64_t textBytes = 0;
    enum { Before, Inside, After } imageData = Before;
    for (uint64_t at = 8; at < size;) {
        if (at + kPngChunkFrame > size) {
            return false;
        }
        const uint64_t length = ReadBig32(bytes + at);
        const unsigned char* type = bytes + at + 4;
        const unsigned char* data = bytes + at + 8;
        if (length > size - at - kPngChunkFrame) {
            return false;
        }
        if (memcmp(type, "IDAT", 4) == 0) {
            if (imageData == After || !image.Ready()) {
                return false;
            }
            imageData = Inside;
            image.Feed(data, length, rawBytes);
        } else {
            if (imageData == Inside) {
                imageData = After;
            }
            const uint64_t text = CompressedTextAt(type, data, length);
            if (text) {
                InflatedCounter counter;
                counter.Feed(data + text, length - text, kMostPngTextBytes - textBytes);
                textBytes += counter.Count();
                if (textBytes > kMostPngTextBytes) {
                    return false;
                }
            }
            if (memcmp(type, "IEND", 4) == 0) {
                break;
            }
        }
        at += kPngChunkFrame + length;
    }
    return image.Ended() && image.Count() == rawBytes;
}

// The pixel format, as the loaders convert it. They convert palette indices without their palette,
// reading through a null pointer, and the volume loader writes past its buffer on DXT blocks.
bool DdsPixelFormatIsSound(const unsigned char* format, bool volume) {
    const uint32_t flags = ReadLittle32(format + 4);
    const uint32_t fourCc = ReadLittle32(format + 8);
    const uint32_t digit = fourCc >> 24;
    const bool blocks =
        (flags & kDdsFourCc) != 0 && (fourCc & 0xFFFFFF) == kDdsDxt && digit >= '1' && digit <= '5';
    return (flags & kDdsPaletteFlags) == 0 && !(volume && blocks);
}

// The header whole, its sides (and a volume's depth) within the bounds, and no more mipmap levels than
// the largest side halves into: the platform loops over the count it states, for tens of seconds.
bool DdsIsSound(const unsigned char* bytes, uint64_t size) {
    if (size < kDdsHeaderEnd) {
        return false;
    }
    const uint32_t height = ReadLittle32(bytes + 12);
    const uint32_t width = ReadLittle32(bytes + 16);
    const bool volume = (ReadLittle32(bytes + 112) & kDdsVolume) != 0;
    const uint32_t depth = volume ? ReadLittle32(bytes + 24) : 1;
    if (!SideIsSound(width) || !SideIsSound(height) || !SideIsSound(depth) ||
        static_cast<uint64_t>(width) * height * depth > kLargestVolume) {
        return false;
    }
    uint32_t levels = 1; // one more than the halvings of the largest side: its highest bit's place
    for (uint32_t bits = width | height | depth; bits > 1; bits >>= 1) {
        ++levels;
    }
    return ReadLittle32(bytes + 28) <= levels && DdsPixelFormatIsSound(bytes + kDdsPixelFormatAt, volume);
}

// A TGA has no signature: the platform takes a file whose colour-map type and image type say TGA.
bool StartsAsTga(const unsigned char* bytes, uint64_t size) {
    if (size < 3) {
        return false;
    }
    const unsigned char imageType = bytes[2] & 0xF7; // run lengths or not
    return bytes[1] <= 1 && imageType >= 1 && imageType <= 3;
}

bool TgaIsSound(const unsigned char* bytes, uint64_t size) {
    return size >= kTgaHeaderSize && SideIsSound(ReadLittle16(bytes + 12)) &&
           SideIsSound(ReadLittle16(bytes + 14));
}

// Markers without a length: the restarts and TEM. The decoder passes over them between segments.
bool StandsAlone(unsigned char marker) {
    return (marker >= kJpegFirstRestart && marker <= kJpegLastRestart) || marker == kJpegTem;
}

// SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != kJpegHuffmanTables && marker != 0xC8 &&
           marker != kJpegArithmeticTables;
}

// The segments the decoder reads or passes over by their length; it gives up on any other marker.
bool IsKnownSegment(unsigned char marker) {
    return IsFrameHeader(marker) || marker == kJpegHuffmanTables || marker == kJpegArithmeticTables ||
           marker == kJpegScan || (marker >= 0xDB && marker <= 0xDD) || // DQT, DNL, DRI
           (marker >= 0xE0 && marker <= 0xEF) || marker == kJpegComment;
}

// Past a scan's entropy-coded data, which ends at the first marker other than a restart: FF 00 is a
// stuffed zero, and a run of FF is fill before whatever follows it. Returns where that marker's first
// FF stands, or the end of the file.
uint64_t SkipEntropyData(const unsigned char* bytes, uint64_t size, uint64_t at) {
    while (at < size) {
        if (bytes[at] != kJpegMarker) {
            ++at;
            continue;
        }
        const uint64_t marker = at;
        while (at < size && bytes[at] == kJpegMarker) {
            ++at;
        }
        if (at < size && bytes[at] != 0x00 &&
            (bytes[at] < kJpegFirstRestart || bytes[at] > kJpegLastRestart)) {
            return marker;
        }
        ++at;
    }
    return size;
}

// The markers walked as the standard has them, which is how the decoder reads a sound file: where a
// marker must stand, FF, fill bytes FF, then a code that is neither 00 nor unknown. The decoder
// passes over anything else to the next marker, so a file whose garbage hides a segment (FF 00 read
// as a marker by a looser walk) would show it another frame header than the one checked here. One
// frame header, its sides within the bounds; every segment whole; no more scans than sound encoders
// write, since the decoder passes over the whole picture once a scan. A scan or the end of the
// picture before the frame header leaves the decoder no size to read; past the frame header the end
// of the file is the decoder's to judge, as is the entropy-coded data.
bool JpegIsSound(const unsigned char* bytes, uint64_t size) {
    bool framed = false;
    int scans = 0;
    uint64_t at = 2;
    for (;;) {
        if (at >= size) {
            return framed;
        }
        if (bytes[at] != kJpegMarker) {
            return false;
        }
        while (at < size && bytes[at] == kJpegMarker) {
            ++at; // fill bytes
        }
        if (at >= size) {
            return framed;
        }
        const unsigned char marker = bytes[at++];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == kJpegEnd) {
            return framed;
        }
        if (!IsKnownSegment(marker) || at + 2 > size) {
            return false;
        }
        const uint64_t length = ReadBig16(bytes + at);
        if (length < 2 || at + length > size) {
            return false;
        }
        if (IsFrameHeader(marker)) {
            const unsigned char* frame = bytes + at;
            if (framed || length < kJpegFrameHeader || length < kJpegFrameHeader + 3u * frame[7] ||
                !SideIsSound(ReadBig16(frame + 3)) || !SideIsSound(ReadBig16(frame + 5))) {
                return false;
            }
            framed = true;
        }
        at += length;
        if (marker == kJpegScan) {
            if (!framed || ++scans > kMostJpegScans) {
                return false;
            }
            at = SkipEntropyData(bytes, size, at);
        }
    }
}

// False for a format the check does not judge.
bool IsSpoiled(const unsigned char* bytes, uint64_t size) {
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return !BitmapIsSound(bytes, size);
    }
    if (size >= 2 && bytes[0] == kJpegMarker && bytes[1] == kJpegStart) {
        return !JpegIsSound(bytes, size);
    }
    if (size >= sizeof(kPngSignature) && memcmp(bytes, kPngSignature, sizeof(kPngSignature)) == 0) {
        return !PngIsSound(bytes, size);
    }
    if (size >= sizeof(kDdsMagic) && memcmp(bytes, kDdsMagic, sizeof(kDdsMagic)) == 0) {
        return !DdsIsSound(bytes, size);
    }
    if (StartsAsHeaderlessBitmap(bytes, size)) {
        return !HeaderlessBitmapIsSound(bytes, size);
    }
    if (StartsAsTga(bytes, size)) {
        return !TgaIsSound(bytes, size);
    }
    return false;
}

} // namespace

bool PictureFileIsSpoiled(const char* path) {
    if (!path) {
        return false;
    }
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size = {};
    const bool sized = GetFileSizeEx(file, &size);
    if (sized && size.QuadPart == 0) {
        CloseHandle(file);
        return false; // nothing to map, nor to load
    }
    const HANDLE mapping = sized ? CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    // A file that opens but cannot be read cannot be vouched for.
    const bool spoiled =
        !view || IsSpoiled(static_cast<const unsigned char*>(view), static_cast<uint64_t>(size.QuadPart));
    if (view) {
        UnmapViewOfFile(view);
    }
    if (mapping) {
        CloseHandle(mapping);
    }
    CloseHandle(file);
    return spoiled;
}
