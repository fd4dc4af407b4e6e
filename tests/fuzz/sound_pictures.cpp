// Small sound pictures for the fuzz target's seeds, of the kinds the build's own do not show: JPEG and
// PNG from their encoders in several shapes, bitmaps from the tests' writers, a TGA.
#include "sound_pictures.h"

#include "bitmap_file.h"
#include "crafted_pictures.h"

#include <cstdio>

#include <jpeglib.h>
#include <png.h>

namespace {

// Pixel values that vary across the picture, so that the encoders write more than one run.
unsigned char Sample(int x, int y, int channel) {
    return static_cast<unsigned char>(x * 37 + y * 91 + channel * 53);
}

struct JpegShape {
    const char* name;
    int width, height;
    bool colour, progressive, arithmetic;
    int restartRows; // 0: no restarts
};

std::string EncodeJpeg(const JpegShape& shape) {
    jpeg_compress_struct info = {};
    jpeg_error_mgr errors = {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(shape.width);
    info.image_height = static_cast<JDIMENSION>(shape.height);
    info.input_components = shape.colour ? 3 : 1;
    info.in_color_space = shape.colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 80, TRUE);
    info.arith_code = shape.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = shape.restartRows;
    if (shape.progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    static const char kComment[] = "Quorvantis";
    jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET*>(kComment), sizeof(kComment) - 1);
    std::vector<unsigned char> row(static_cast<size_t>(shape.width) * info.input_components);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < shape.width; ++x) {
            for (int c = 0; c < info.input_components; ++c) {
                row[static_cast<size_t>(x) * info.input_components + c] = Sample(x, y, c);
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    free(out);
    return bytes;
}

struct PngShape {
    const char* name;
    int width, height, depth, colourType;
    bool interlaced, texts, profile;
};

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

// The smallest colour profile the encoder takes for a colour picture: its size, version, class, colour
// space, connection space, signature and the D50 illuminant, and no tags.
std::string ColourProfile() {
    std::string profile(132, '\0');
    profile = PatchedBigEndian(PatchedBigEndian(profile, 0, 132), 8, 0x02100000);
    profile.replace(12, 12, "mntrRGB XYZ ");
    profile.replace(36, 4, "acsp");
    const uint32_t d50[] = {0xF6D6, 0x10000, 0xD32D};
    for (size_t i = 0; i < 3; ++i) {
        profile = PatchedBigEndian(profile, 68 + 4 * i, d50[i]);
    }
    return profile;
}

std::string EncodePng(const PngShape& shape) {
    // Everything the encoder reads is made before it starts: an error jumps back over this frame.
    png_color palette[4] = {{0, 0, 0}, {200, 30, 30}, {30, 200, 30}, {30, 30, 200}};
    png_byte opacity[2] = {0, 128};
    char keyword[] = "Commento";
    char text[] = "Quorvantis 3D, il gioco del codice segreto";
    char language[] = "it";
    png_text texts[3] = {};
    const int compressions[3] = {PNG_TEXT_COMPRESSION_zTXt, PNG_ITXT_COMPRESSION_zTXt,
                                 PNG_ITXT_COMPRESSION_NONE};
    for (int i = 0; i < 3; ++i) {
        texts[i].compression = compressions[i];
        texts[i].key = keyword;
        texts[i].text = text;
        texts[i].lang = i > 0 ? language : nullptr;
        texts[i].lang_key = i > 0 ? keyword : nullptr;
    }
    const std::string profile = ColourProfile();
    const int channels = shape.colourType == PNG_COLOR_TYPE_RGB          ? 3
                         : shape.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                         : shape.colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                                                                         : 1;
    const size_t rowBytes = (static_cast<size_t>(shape.width) * channels * shape.depth + 7) / 8;
    std::vector<png_byte> pixels(rowBytes * shape.height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = Sample(static_cast<int>(i % rowBytes), static_cast<int>(i / rowBytes), 0) &
                    (shape.colourType == PNG_COLOR_TYPE_PALETTE ? 0x33 : 0xFF); // indices below 4
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < shape.height; ++y) {
        rows.push_back(pixels.data() + rowBytes * y);
    }
    std::string bytes;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, AppendPngBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(shape.width), static_cast<png_uint_32>(shape.height),
                 shape.depth, shape.colourType, shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (shape.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, 4);
        png_set_tRNS(png, info, opacity, 2, nullptr);
    }
    if (shape.texts) {
        png_set_text(png, info, texts, 3);
    }
    if (shape.profile) {
        png_set_iCCP(png, info, "profilo", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(profile.data()),
                     static_cast<png_uint_32>(profile.size()));
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// A bitmap of a 40-byte header grown to a V5 header whose colour space is an embedded profile, 4 bytes
// after the pixels.
std::string V5Bitmap(const std::string& bitmap) {
    const std::string pixels = bitmap.substr(54);
    std::string header = Patched(bitmap.substr(14, 40) + std::string(124 - 40, '\0'), 0, 124);
    header = Patched(
        Patched(Patched(header, 56, 0x4D424544), 112, static_cast<uint32_t>(124 + pixels.size())), 116, 4);
    const std::string file = Patched(
        Patched(bitmap.substr(0, 14), 2, static_cast<uint32_t>(14 + 124 + pixels.size() + 4)), 10, 14 + 124);
    return file + header + pixels + "ICC!";
}

} // namespace

std::vector<SoundPicture> SoundPictures() {
    BitmapPicture picture;
    picture.width = 3;
    picture.height = 2;
    for (uint32_t i = 0; i < 6; ++i) {
        picture.pixels.push_back(0xFF000000u | i * 0x203040u);
    }
    std::vector<uint8_t> indices(6 * 4);
    for (size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<uint8_t>(i % 4);
    }
    const std::vector<uint32_t> colours = {0x000000, 0xC81E1E, 0x1EC81E, 0x1E1EC8};
    const std::string palette = EncodePaletteBitmap(6, 4, colours, indices, false);
    std::vector<SoundPicture> pictures = {
        {"bmp-24", EncodeBitmap(picture, 24)},
        {"bmp-32-top-down", EncodeBitmap(picture, 32, true)},
        {"bmp-v5-profile", V5Bitmap(EncodeBitmap(picture, 24))},
        {"bmp-8-palette", palette},
        {"bmp-8-rle", EncodePaletteBitmap(6, 4, colours, indices, true)},
        {"dib-8-palette", palette.substr(14)},
        {"tga-32", TgaPicture(2, 2, 16)},
        {"jpeg-empty-ac-scans", ProgressiveJpeg(16, 16, 2)},
    };
    const JpegShape jpegs[] = {
        {"jpeg-grey", 8, 8, false, false, false, 0},
        {"jpeg-colour-restarts", 16, 16, true, false, false, 1},
        {"jpeg-progressive", 16, 16, true, true, false, 0},
        {"jpeg-arithmetic", 8, 8, false, false, true, 0},
    };
    for (const JpegShape& shape : jpegs) {
        pictures.push_back({shape.name, EncodeJpeg(shape)});
    }
    const PngShape pngs[] = {
        {"png-grey-1", 5, 3, 1, PNG_COLOR_TYPE_GRAY, false, false, false},
        {"png-grey-16-texts", 3, 2, 16, PNG_COLOR_TYPE_GRAY, false, true, false},
        {"png-rgb-interlaced", 9, 9, 8, PNG_COLOR_TYPE_RGB, true, false, true},
        {"png-palette-4", 5, 5, 4, PNG_COLOR_TYPE_PALETTE, true, false, false},
        {"png-rgba-16", 2, 3, 16, PNG_COLOR_TYPE_RGB_ALPHA, false, true, true},
    };
    for (const PngShape& shape : pngs) {
        pictures.push_back({shape.name, EncodePng(shape)});
    }
    return pictures;
}
