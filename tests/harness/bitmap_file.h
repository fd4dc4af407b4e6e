// Uncompressed BMP files written and read by the tests: 24 or 32 bits per pixel, bottom-up or
// top-down. Pixels are 0x00RRGGBB (the top byte is kept for 32-bit files).
#pragma once

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
