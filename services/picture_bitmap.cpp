// The picture check's bitmaps, with their file header ("BM") or without it, as D3DX also reads them:
// headers that hold together, the masks and the palette before the pixels, all the pixels the headers
// claim within the file, and only the layouts the decoders read soundly.
#include "services/picture_formats.h"

namespace picture_formats {
namespace {

constexpr uint64_t kFileHeaderSize = 14; // BITMAPFILEHEADER
constexpr uint32_t kCoreHeaderSize = 12; // BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
constexpr uint32_t kInfoHeaderSize = 40; // BITMAPINFOHEADER; the larger ones begin with its fields
// BITMAPINFOHEADER, with the RGB masks, with the alpha mask too, BITMAPV4HEADER, BITMAPV5HEADER.
constexpr uint32_t kInfoHeaderSizes[] = {kInfoHeaderSize, 52, 56, 108, 124};
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint64_t kMaskBytes = 12; // the three masks after a 40-byte header with bit fields
// The OS/2 header D3DX also takes for a bitmap without a file header; nothing here reads it.
constexpr uint32_t kOs2HeaderSize = 64;

// The compressions, as the info header names them.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRunLengths8 = 1;
constexpr uint32_t kRunLengths4 = 2;
constexpr uint32_t kBitFields = 3;

// Colour space types of a V5 header whose profile data (the profile, or the file name of a linked
// one) lies in the file.
constexpr uint32_t kProfileLinked = 0x4C494E4B;   // 'LINK'
constexpr uint32_t kProfileEmbedded = 0x4D424544; // 'MBED'

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
    claims->compression = kRgb;
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
    case kRgb:
        break;
    case kRunLengths8:
        if (bits != 8) {
            return false;
        }
        break;
    case kRunLengths4:
        if (bits != 4) {
            return false;
        }
        break;
    case kBitFields:
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
        claims->compression == kBitFields && headerSize == kInfoHeaderSize ? kMaskBytes : 0;
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

// The headers at `header`, `room` bytes before the end of the file, with the pixels at `*pixelOffset`
// from the header's start, or right after the masks and the palette when there is no file header to
// say where (null).
bool HeadersAreSound(const unsigned char* header, uint64_t room, const uint64_t* statedPixelOffset) {
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
    const bool runLengths = claims.compression == kRunLengths8 || claims.compression == kRunLengths4;
    if (!SideIsSound(claims.width) || !SideIsSound(rows) || (runLengths && claims.height < 0)) {
        return false;
    }
    // The masks and the palette come before the pixels, and the pixels end within the file.
    const uint64_t pixelOffset = statedPixelOffset ? *statedPixelOffset : claims.tableEnd;
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
    if (claims.compression == kBitFields && !BitFieldsAreSound(header, headerSize, claims.bitsPerPixel)) {
        return false;
    }
    return headerSize != kV5HeaderSize || ProfileInFile(header, room);
}

} // namespace

bool StartsAsBitmap(const unsigned char* bytes, uint64_t size) {
    return size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

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
    const uint64_t offset = ReadLittle32(bytes + 10);
    if (offset < kFileHeaderSize) {
        return false;
    }
    const uint64_t pixelOffset = offset - kFileHeaderSize;
    return HeadersAreSound(bytes + kFileHeaderSize, size - kFileHeaderSize, &pixelOffset);
}

// The same without the file header: the pixels follow the masks and the palette.
bool HeaderlessBitmapIsSound(const unsigned char* bytes, uint64_t size) {
    return HeadersAreSound(bytes, size, nullptr);
}

} // namespace picture_formats
