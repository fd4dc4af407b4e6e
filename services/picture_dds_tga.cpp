// The picture check's DDS and TGA: their fixed headers, the sides they state and the pixel formats the
// loaders were measured to mishandle. Their decoders check the pixels against the file themselves.
#include "services/picture_formats.h"

#include <cstring>

namespace picture_formats {
namespace {

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
// The image types, without the run-length bit (8): colour-mapped, true colour, grey.
constexpr unsigned char kTgaColourMapped = 1;
constexpr unsigned char kTgaGrey = 3;
constexpr unsigned char kTgaRunLengths = 0x8;

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

} // namespace

bool StartsAsDds(const unsigned char* bytes, uint64_t size) {
    return size >= sizeof(kDdsMagic) && std::memcmp(bytes, kDdsMagic, sizeof(kDdsMagic)) == 0;
}

// The header whole, its sides (and a volume's depth) within the bounds, and no more mipmap levels than
// the largest side halves into: the platform loops over the count it states, for over ten seconds.
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

// A colour-mapped picture states a colour-map type of 1, though its map may be empty; the others may
// carry a map they do not use. An icon, whose first bytes read as a colour-mapped picture of map type
// 0, is no TGA; a cursor reads as a true-colour one.
bool StartsAsTga(const unsigned char* bytes, uint64_t size) {
    if (size < 3) {
        return false;
    }
    const unsigned char colourMap = bytes[1];
    const unsigned char imageType = static_cast<unsigned char>(bytes[2] & ~kTgaRunLengths);
    if (colourMap > 1 || imageType < kTgaColourMapped || imageType > kTgaGrey) {
        return false;
    }
    return imageType != kTgaColourMapped || colourMap == 1;
}

bool TgaIsSound(const unsigned char* bytes, uint64_t size) {
    return size >= kTgaHeaderSize && SideIsSound(ReadLittle16(bytes + 12)) &&
           SideIsSound(ReadLittle16(bytes + 14));
}

} // namespace picture_formats
