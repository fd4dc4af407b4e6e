// Inside the services: the picture check's walkers, one for each format the platform's loaders read.
// Each takes a whole file's bytes and never reads outside them, whatever they hold. Plain C++ with no
// platform header, so they build natively for the fuzzer as well as for the game.
#pragma once

#include "services/picture_check.h"

#include <cstdint>

namespace picture_formats {

inline uint32_t ReadLittle16(const unsigned char* p) {
    return static_cast<uint32_t>(p[1]) << 8 | p[0];
}

inline uint32_t ReadLittle32(const unsigned char* p) {
    return ReadLittle16(p + 2) << 16 | ReadLittle16(p);
}

inline uint32_t ReadBig16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

inline uint32_t ReadBig32(const unsigned char* p) {
    return ReadBig16(p) << 16 | ReadBig16(p + 2);
}

inline bool SideIsSound(int64_t side) {
    return side >= 1 && side <= kLargestPictureSide;
}

// Each format as the platform's loaders tell it, by its first bytes, and then judged whole. A walker is
// given only bytes that start as its format, and reads none past their size whatever follows.
bool StartsAsBitmap(const unsigned char* bytes, uint64_t size); // "BM": with its file header
bool BitmapIsSound(const unsigned char* bytes, uint64_t size);
// D3DX also reads a bitmap without its file header: a file that starts with a header's size.
bool StartsAsHeaderlessBitmap(const unsigned char* bytes, uint64_t size);
bool HeaderlessBitmapIsSound(const unsigned char* bytes, uint64_t size);

bool StartsAsJpeg(const unsigned char* bytes, uint64_t size); // FF D8
bool JpegIsSound(const unsigned char* bytes, uint64_t size);

bool StartsAsPng(const unsigned char* bytes, uint64_t size); // the PNG signature
bool PngIsSound(const unsigned char* bytes, uint64_t size);

bool StartsAsDds(const unsigned char* bytes, uint64_t size); // "DDS "
bool DdsIsSound(const unsigned char* bytes, uint64_t size);

// A TGA has no signature: the platform takes a file whose colour-map type and image type say TGA.
bool StartsAsTga(const unsigned char* bytes, uint64_t size);
bool TgaIsSound(const unsigned char* bytes, uint64_t size);

} // namespace picture_formats
