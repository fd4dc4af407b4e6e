// Pixel buffers and the file formats the game reads: PNG, JPEG, BMP, ICO and DDS.
// BMP, ICO and DDS are encoded here byte by byte; PNG and JPEG go through libpng and libjpeg.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Straight (not premultiplied) 0xAARRGGBB pixels, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

constexpr uint32_t kColourKey = 0xFF000000u; // the game's texture colour key: opaque black
constexpr uint32_t kNearBlack = 0xFF010101u; // darkest colour that still shows

// Prepares a picture for a loader that keys out opaque black: fully transparent pixels become
// the key, visible pixels that happen to be pure black are lifted to kNearBlack.
void ApplyColourKey(Image& image);

// All writers report failures on stderr and return false.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WritePng(const std::string& path, const Image& image, bool withAlpha);
bool WriteJpeg(const std::string& path, const Image& image, int quality);
bool ReadJpeg(const std::string& path, Image& image);

// 24-bit bottom-up BMP with a BITMAPINFOHEADER (what LoadImageA and D3DX both read).
std::vector<uint8_t> EncodeBmp24(const Image& image);

// 32-bit BI_RGB BMP whose unused fourth byte is 0, so black loads as 0x00000000 into an
// X8R8G8B8 surface (the alphabet's colour key) whatever the loader does with missing alpha.
std::vector<uint8_t> EncodeBmp32(const Image& image);

// Icon file with one 24-bit picture; pixels with alpha below 128 are masked out.
std::vector<uint8_t> EncodeIco24(const Image& image);

// Uncompressed A8R8G8B8 volume texture, one mip level; slices are consecutive Images' pixels.
std::vector<uint8_t> EncodeDdsVolume(int width, int height, int depth, const std::vector<uint32_t>& argb);

// Little-endian readers for tests and self-checks.
uint32_t ReadLe32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t ReadLe16(const std::vector<uint8_t>& bytes, size_t offset);

// Saves a PNG for a loader that keys out opaque black (see ApplyColourKey).
bool SaveKeyedPng(const std::string& path, Image image);
// Saves a JPEG; when `keyedLoader` is set the file is read back and rejected if any pixel
// decodes to pure black, which the game's colour key would turn transparent.
bool SaveJpeg(const std::string& path, const Image& image, int quality, bool keyedLoader);
