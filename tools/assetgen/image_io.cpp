// File writers for the generated assets.
#include "image_io.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstring>

namespace {

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(v >> (8 * i)));
    }
}

// BITMAPINFOHEADER followed by bottom-up BGR rows padded to 4 bytes.
void PutDib24(std::vector<uint8_t>& out, const Image& image, int headerHeight) {
    const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
    PutLe32(out, 40);
    PutLe32(out, uint32_t(image.width));
    PutLe32(out, uint32_t(headerHeight));
    PutLe16(out, 1);  // planes
    PutLe16(out, 24); // bits per pixel
    PutLe32(out, 0);  // BI_RGB
    PutLe32(out, rowBytes * uint32_t(image.height));
    PutLe32(out, 2835); // 72 dpi
    PutLe32(out, 2835);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
        }
        for (uint32_t pad = uint32_t(image.width) * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
}

struct FileCloser {
    FILE* file;
    ~FileCloser() {
        if (file) {
            fclose(file);
        }
    }
};

} // namespace

void ApplyColourKey(Image& image) {
    for (uint32_t& p : image.pixels) {
        if ((p >> 24) == 0) {
            p = kColourKey;
        } else if ((p & 0x00FFFFFFu) == 0) {
            p |= 0x00010101u;
        }
    }
}

uint32_t ReadLe32(const std::vector<uint8_t>& bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

uint16_t ReadLe16(const std::vector<uint8_t>& bytes, size_t offset) {
    return uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FileCloser f{fopen(path.c_str(), "wb")};
    if (!f.file) {
        fprintf(stderr, "assetgen: cannot create %s\n", path.c_str());
        return false;
    }
    if (fwrite(bytes.data(), 1, bytes.size(), f.file) != bytes.size()) {
        fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Image& image, bool withAlpha) {
    FileCloser f{fopen(path.c_str(), "wb")};
    if (!f.file) {
        fprintf(stderr, "assetgen: cannot create %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        fprintf(stderr, "assetgen: libpng set-up failed for %s\n", path.c_str());
        return false;
    }
    const int channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> row(size_t(image.width) * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fprintf(stderr, "assetgen: libpng failed writing %s\n", path.c_str());
        return false;
    }
    png_init_io(png, f.file);
    png_set_IHDR(png, info, uint32_t(image.width), uint32_t(image.height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* out = row.data();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            *out++ = uint8_t(p >> 16);
            *out++ = uint8_t(p >> 8);
            *out++ = uint8_t(p);
            if (withAlpha) {
                *out++ = uint8_t(p >> 24);
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteJpeg(const std::string& path, const Image& image, int quality) {
    FileCloser f{fopen(path.c_str(), "wb")};
    if (!f.file) {
        fprintf(stderr, "assetgen: cannot create %s\n", path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.file);
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full-resolution chroma keeps coloured lettering crisp.
    cinfo.comp_info[0].h_samp_factor = 1;
    cinfo.comp_info[0].v_samp_factor = 1;
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        uint8_t* out = row.data();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, int(cinfo.next_scanline));
            *out++ = uint8_t(p >> 16);
            *out++ = uint8_t(p >> 8);
            *out++ = uint8_t(p);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    if (ferror(f.file)) {
        fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool ReadJpeg(const std::string& path, Image& image) {
    FileCloser f{fopen(path.c_str(), "rb")};
    if (!f.file) {
        fprintf(stderr, "assetgen: cannot open %s\n", path.c_str());
        return false;
    }
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f.file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = Image(int(cinfo.output_width), int(cinfo.output_height));
    std::vector<uint8_t> row(size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* in = &row[size_t(x) * 3];
            image.At(x, y) = 0xFF000000u | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
    const uint32_t dataOffset = 14 + 40;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, dataOffset + rowBytes * uint32_t(image.height));
    PutLe32(out, 0);
    PutLe32(out, dataOffset);
    PutDib24(out, image, image.height);
    return out;
}

std::vector<uint8_t> EncodeBmp32(const Image& image) {
    const uint32_t imageBytes = uint32_t(image.width) * uint32_t(image.height) * 4;
    const uint32_t dataOffset = 14 + 40;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, dataOffset + imageBytes);
    PutLe32(out, 0);
    PutLe32(out, dataOffset);
    PutLe32(out, 40);
    PutLe32(out, uint32_t(image.width));
    PutLe32(out, uint32_t(image.height));
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, 0); // BI_RGB
    PutLe32(out, imageBytes);
    PutLe32(out, 2835);
    PutLe32(out, 2835);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            PutLe32(out, image.At(x, y) & 0x00FFFFFFu);
        }
    }
    return out;
}

std::vector<uint8_t> EncodeIco24(const Image& image) {
    // The AND mask has 1-bit rows padded to 32 bits; set bits are transparent.
    const uint32_t maskRowBytes = ((uint32_t(image.width) + 31) / 32) * 4;
    const uint32_t xorBytes = ((uint32_t(image.width) * 3 + 3) & ~3u) * uint32_t(image.height);
    const uint32_t imageBytes = 40 + xorBytes + maskRowBytes * uint32_t(image.height);
    std::vector<uint8_t> out;
    PutLe16(out, 0); // reserved
    PutLe16(out, 1); // icon
    PutLe16(out, 1); // one picture
    out.push_back(uint8_t(image.width));
    out.push_back(uint8_t(image.height));
    out.push_back(0); // no palette
    out.push_back(0);
    PutLe16(out, 1);  // planes
    PutLe16(out, 24); // bits per pixel
    PutLe32(out, imageBytes);
    PutLe32(out, 6 + 16);
    // Icon DIBs declare twice the height: the colour rows and then the mask rows.
    Image opaque = image;
    for (uint32_t& p : opaque.pixels) {
        if ((p >> 24) < 128) {
            p = 0; // black under a set mask bit leaves the screen unchanged
        }
    }
    PutDib24(out, opaque, image.height * 2);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRowBytes, 0);
        for (int x = 0; x < image.width; ++x) {
            if ((image.At(x, y) >> 24) < 128) {
                row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> EncodeDdsVolume(int width, int height, int depth, const std::vector<uint32_t>& argb) {
    constexpr uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPitch = 0x8, kPixelFormat = 0x1000,
                       kDepth = 0x800000;
    constexpr uint32_t kAlphaPixels = 0x1, kRgb = 0x40;
    constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCaps2Volume = 0x200000;
    std::vector<uint8_t> out = {'D', 'D', 'S', ' '};
    PutLe32(out, 124);
    PutLe32(out, kCaps | kHeight | kWidth | kPitch | kPixelFormat | kDepth);
    PutLe32(out, uint32_t(height));
    PutLe32(out, uint32_t(width));
    PutLe32(out, uint32_t(width) * 4); // pitch of one row
    PutLe32(out, uint32_t(depth));
    PutLe32(out, 0); // no mip levels beyond the first
    for (int i = 0; i < 11; ++i) {
        PutLe32(out, 0);
    }
    PutLe32(out, 32); // DDS_PIXELFORMAT size
    PutLe32(out, kRgb | kAlphaPixels);
    PutLe32(out, 0); // no FourCC
    PutLe32(out, 32);
    PutLe32(out, 0x00FF0000u);
    PutLe32(out, 0x0000FF00u);
    PutLe32(out, 0x000000FFu);
    PutLe32(out, 0xFF000000u);
    PutLe32(out, kCapsComplex | kCapsTexture);
    PutLe32(out, kCaps2Volume);
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (uint32_t p : argb) {
        PutLe32(out, p);
    }
    return out;
}

bool SaveKeyedPng(const std::string& path, Image image) {
    ApplyColourKey(image);
    return WritePng(path, image, true);
}

bool SaveJpeg(const std::string& path, const Image& image, int quality, bool keyedLoader) {
    if (!WriteJpeg(path, image, quality)) {
        return false;
    }
    if (!keyedLoader) {
        return true;
    }
    Image decoded;
    if (!ReadJpeg(path, decoded)) {
        return false;
    }
    for (uint32_t p : decoded.pixels) {
        if ((p & 0x00FFFFFFu) == 0) {
            fprintf(stderr, "assetgen: %s decodes to pure black somewhere; it would turn transparent\n",
                    path.c_str());
            return false;
        }
    }
    return true;
}
