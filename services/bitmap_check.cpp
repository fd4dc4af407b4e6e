// The BMP header check run before a .bmp file reaches LoadImageA or D3DX. Those loaders trust the
// headers: GDI reads the palette and pixels wherever the headers say, past the end of the file if
// need be, and the codecs multiply the sizes in 32 bits. Here the headers are read with plain file
// calls and held against the file's size, all sums in 64 bits.
#include "services/bitmap_check.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr uint64_t kFileHeaderSize = 14; // BITMAPFILEHEADER
constexpr uint32_t kCoreHeaderSize = 12; // BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
constexpr uint32_t kInfoHeaderSize = 40; // BITMAPINFOHEADER; the larger ones begin with its fields
// BITMAPINFOHEADER, with the RGB masks, with the alpha mask too, BITMAPV4HEADER, BITMAPV5HEADER.
constexpr uint32_t kInfoHeaderSizes[] = {kInfoHeaderSize, 52, 56, 108, 124};
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kLongestHeader = kV5HeaderSize;
constexpr uint64_t kMaskBytes = 12;     // the three masks after a 40-byte header with BI_BITFIELDS
constexpr int64_t kLargestSide = 16384; // far above any picture of ours

// Colour space types of a V5 header whose profile data (the profile, or the file name of a linked
// one) lies in the file.
constexpr uint32_t kProfileLinked = 0x4C494E4B;   // 'LINK'
constexpr uint32_t kProfileEmbedded = 0x4D424544; // 'MBED'

uint32_t Read16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Read32(const unsigned char* p) {
    return Read16(p) | Read16(p + 2) << 16;
}

// What the headers claim, whichever header the file has.
struct BitmapClaims {
    int64_t width;
    int64_t height; // negative: rows from the top
    uint32_t planes;
    uint32_t bitsPerPixel;
    uint32_t compression;
    uint64_t compressedSize; // of RLE pixels
    uint64_t tableEnd;       // where the masks and the palette end, from the start of the file
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
    claims->width = Read16(header + 4);
    claims->height = Read16(header + 6);
    claims->planes = Read16(header + 8);
    claims->bitsPerPixel = Read16(header + 10);
    claims->compression = BI_RGB;
    claims->compressedSize = 0;
    const uint32_t bits = claims->bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return false;
    }
    const uint64_t entries = bits <= 8 ? 1u << bits : 0;
    claims->tableEnd = kFileHeaderSize + kCoreHeaderSize + 3 * entries;
    return true;
}

bool ReadInfoHeader(const unsigned char* header, uint32_t headerSize, BitmapClaims* claims) {
    claims->width = static_cast<int32_t>(Read32(header + 4));
    claims->height = static_cast<int32_t>(Read32(header + 8));
    claims->planes = Read16(header + 12);
    claims->bitsPerPixel = Read16(header + 14);
    claims->compression = Read32(header + 16);
    claims->compressedSize = Read32(header + 20);
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
    if (!PaletteEntries(bits, Read32(header + 32), &entries)) {
        return false;
    }
    const uint64_t masks =
        claims->compression == BI_BITFIELDS && headerSize == kInfoHeaderSize ? kMaskBytes : 0;
    claims->tableEnd = kFileHeaderSize + headerSize + masks + 4 * entries;
    return true;
}

// A V5 header's colour profile lies at an offset from the header's start.
bool ProfileInFile(const unsigned char* header, uint64_t fileSize) {
    const uint32_t type = Read32(header + 56);
    if (type != kProfileLinked && type != kProfileEmbedded) {
        return true;
    }
    const uint64_t end = kFileHeaderSize + Read32(header + 112) + static_cast<uint64_t>(Read32(header + 116));
    return end <= fileSize;
}

// The headers at the start of the file (`count` bytes of it, all of it if shorter than the longest
// headers) against the whole file's size.
bool HeadersAreSound(const unsigned char* bytes, uint64_t count, uint64_t fileSize) {
    if (fileSize < kFileHeaderSize + 4 || count < kFileHeaderSize + 4) {
        return false;
    }
    const uint64_t pixelOffset = Read32(bytes + 10);
    const unsigned char* header = bytes + kFileHeaderSize;
    const uint32_t headerSize = Read32(header);
    if ((headerSize != kCoreHeaderSize && !IsInfoHeaderSize(headerSize)) ||
        fileSize < kFileHeaderSize + headerSize || count < kFileHeaderSize + headerSize) {
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
    if (claims.width < 1 || claims.width > kLargestSide || rows < 1 || rows > kLargestSide ||
        (runLengths && claims.height < 0)) {
        return false;
    }
    // The masks and the palette come before the pixels, and the pixels end within the file.
    if (claims.tableEnd > pixelOffset) {
        return false;
    }
    uint64_t pixelBytes = claims.compressedSize;
    if (!runLengths) {
        const uint64_t stride = (static_cast<uint64_t>(claims.width) * claims.bitsPerPixel + 31) / 32 * 4;
        pixelBytes = stride * static_cast<uint64_t>(rows);
    }
    if (pixelBytes == 0 || pixelOffset + pixelBytes > fileSize) {
        return false;
    }
    return headerSize != kV5HeaderSize || ProfileInFile(header, fileSize);
}

} // namespace

bool BitmapFileIsSpoiled(const char* path) {
    if (!path) {
        return false;
    }
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    unsigned char bytes[kFileHeaderSize + kLongestHeader] = {};
    LARGE_INTEGER size = {};
    DWORD count = 0;
    const bool read = GetFileSizeEx(file, &size) && ReadFile(file, bytes, sizeof(bytes), &count, nullptr);
    CloseHandle(file);
    if (read && (count < 2 || bytes[0] != 'B' || bytes[1] != 'M')) {
        return false; // not a BMP: the loader tells the formats apart itself
    }
    // A file that opens but cannot be read cannot be vouched for.
    return !read || !HeadersAreSound(bytes, count, static_cast<uint64_t>(size.QuadPart));
}
