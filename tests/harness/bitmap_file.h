// Uncompressed BMP files written and read by the tests: 24 or 32 bits per pixel, bottom-up or
// top-down. Pixels are 0x00RRGGBB (the top byte is kept for 32-bit files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct BitmapPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // row by row from the top

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

inline void PutBE(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The bytes with the number at `at` written over, little-endian or big-endian.
inline std::string Patched(std::string bytes, size_t at, uint32_t value, int size = 4) {
    std::string field;
    PutLE(field, value, size);
    return bytes.replace(at, size, field);
}

inline std::string PatchedBigEndian(std::string bytes, size_t at, uint32_t value, int size = 4) {
    std::string field;
    PutBE(field, value, size);
    return bytes.replace(at, size, field);
}

inline uint32_t GetLE(const std::string& in, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(in[at + i]);
    }
    return value;
}

inline std::string EncodeBitmap(const BitmapPicture& picture, int bitsPerPixel, bool topDown = false) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (picture.width * bytesPerPixel + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * picture.height);
    std::string out;
    out += "BM";
    PutLE(out, 54 + imageSize, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<uint32_t>(picture.width), 4);
    PutLE(out, static_cast<uint32_t>(topDown ? -picture.height : picture.height), 4);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<uint32_t>(bitsPerPixel), 2);
    PutLE(out, 0, 4); // BI_RGB
    PutLE(out, imageSize, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int row = 0; row < picture.height; ++row) {
        const int y = topDown ? row : picture.height - 1 - row;
        std::string line;
        for (int x = 0; x < picture.width; ++x) {
            PutLE(line, picture.At(x, y), bytesPerPixel);
        }
        line.resize(stride, '\0');
        out += line;
    }
    return out;
}

// False for anything but an uncompressed 24 or 32-bit file.
inline bool DecodeBitmap(const std::string& in, BitmapPicture* picture) {
    if (in.size() < 54 || in[0] != 'B' || in[1] != 'M') {
        return false;
    }
    const uint32_t offset = GetLE(in, 10, 4);
    const int width = static_cast<int32_t>(GetLE(in, 18, 4));
    const int signedHeight = static_cast<int32_t>(GetLE(in, 22, 4));
    const int bitsPerPixel = static_cast<int>(GetLE(in, 28, 2));
    const uint32_t compression = GetLE(in, 30, 4);
    const int height = signedHeight < 0 ? -signedHeight : signedHeight;
    // 32-bit files may carry BI_BITFIELDS (3) with the usual masks.
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || (compression != 0 && compression != 3) || width <= 0) {
        return false;
    }
    const int bytesPerPixel = bitsPerPixel / 8;
    const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t(3);
    if (in.size() < offset + stride * height) {
        return false;
    }
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(static_cast<size_t>(width) * height, 0);
    for (int row = 0; row < height; ++row) {
        const int y = signedHeight < 0 ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            picture->pixels[static_cast<size_t>(y) * width + x] =
                GetLE(in, offset + row * stride + static_cast<size_t>(x) * bytesPerPixel, bytesPerPixel);
        }
    }
    return true;
}

// An 8-bit file with a palette of `colours` entries (0x00RRGGBB); with rle, each row is coded as BI_RLE8
// runs of one index. Pixel indices are given row by row from the top.
inline std::string EncodePaletteBitmap(int width, int height, const std::vector<uint32_t>& colours,
                                       const std::vector<uint8_t>& indices, bool rle) {
    const int stride = (width + 3) & ~3;
    std::string pixels;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        if (rle) {
            for (int x = 0; x < width; ++x) {
                pixels += '\x01';
                pixels += static_cast<char>(indices[static_cast<size_t>(y) * width + x]);
            }
            pixels += std::string("\0\0", 2); // end of line
        } else {
            std::string line(indices.begin() + static_cast<ptrdiff_t>(y) * width,
                             indices.begin() + static_cast<ptrdiff_t>(y + 1) * width);
            line.resize(stride, '\0');
            pixels += line;
        }
    }
    if (rle) {
        pixels += std::string("\0\1", 2); // end of picture
    }
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(colours.size());
    std::string out = "BM";
    PutLE(out, offset + static_cast<uint32_t>(pixels.size()), 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<uint32_t>(width), 4);
    PutLE(out, static_cast<uint32_t>(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, 8, 2);
    PutLE(out, rle ? 1 : 0, 4); // BI_RLE8 or BI_RGB
    PutLE(out, static_cast<uint32_t>(pixels.size()), 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, static_cast<uint32_t>(colours.size()), 4);
    PutLE(out, 0, 4);
    for (uint32_t colour : colours) {
        PutLE(out, colour, 4);
    }
    return out + pixels;
}
