// The picture check run before a file reaches LoadImageA or D3DX. Those loaders tell a picture by its
// content, not its name, and trust its headers: GDI reads a bitmap's palette and pixels wherever the
// headers say, past the end of the file if need be, and the decoders multiply the stated sizes in 32
// bits or loop over them. Here the headers are held against the file and the bounds, all sums in 64
// bits. The file is mapped, not read: a JPEG's frame header may lie past long metadata.
#include "services/picture_check.h"

#include <windows.h>

#include <cstring>

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

constexpr char kDdsMagic[] = {'D', 'D', 'S', ' '};
constexpr uint64_t kDdsHeaderEnd = 4 + 124; // the magic, then the header up to the pixels
constexpr uint32_t kDdsVolume = 0x200000;   // DDSCAPS2_VOLUME: the depth counts
// A volume may hold no more texels than the largest flat picture: the platform multiplies the sides
// in 32 bits.
constexpr uint64_t kLargestVolume = static_cast<uint64_t>(kLargestPictureSide) * kLargestPictureSide;

constexpr uint64_t kTgaHeaderSize = 18;

constexpr unsigned char kJpegMarker = 0xFF;
constexpr unsigned char kJpegStart = 0xD8;
constexpr unsigned char kJpegEnd = 0xD9;
constexpr unsigned char kJpegScan = 0xDA;
constexpr uint64_t kJpegFrameHeader = 8; // length, precision, height, width, component count

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

// The first chunk is IHDR, whole, with the picture's width and height.
bool PngIsSound(const unsigned char* bytes, uint64_t size) {
    if (size < kPngHeaderEnd || ReadBig32(bytes + 8) != kPngHeaderLength ||
        memcmp(bytes + 12, "IHDR", 4) != 0) {
        return false;
    }
    return SideIsSound(ReadBig32(bytes + 16)) && SideIsSound(ReadBig32(bytes + 20));
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
    return ReadLittle32(bytes + 28) <= levels;
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

// Markers that stand alone, without a length: restarts, the start of the picture and TEM.
bool StandsAlone(unsigned char marker) {
    return (marker >= 0xD0 && marker <= kJpegStart) || marker == 0x01;
}

// SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segments from the start of the picture to its frame header, each whole within the file, and the
// frame header's sizes. A scan or the end of the picture before the frame header leaves the decoder
// no size to read.
bool JpegIsSound(const unsigned char* bytes, uint64_t size) {
    uint64_t at = 2;
    for (;;) {
        if (at >= size || bytes[at] != kJpegMarker) {
            return false;
        }
        while (at < size && bytes[at] == kJpegMarker) {
            ++at; // fill bytes
        }
        if (at >= size) {
            return false;
        }
        const unsigned char marker = bytes[at++];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == kJpegEnd || marker == kJpegScan || at + 2 > size) {
            return false;
        }
        const uint64_t length = ReadBig16(bytes + at);
        if (length < 2 || at + length > size) {
            return false;
        }
        if (IsFrameHeader(marker)) {
            const unsigned char* frame = bytes + at;
            return length >= kJpegFrameHeader && length >= kJpegFrameHeader + 3u * frame[7] &&
                   SideIsSound(ReadBig16(frame + 3)) && SideIsSound(ReadBig16(frame + 5));
        }
        at += length;
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
