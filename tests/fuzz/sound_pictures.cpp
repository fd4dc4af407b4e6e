// Small sound pictures for the fuzz targets' seeds, of the kinds the build's own do not show: JPEG from
// its encoder in several shapes (baseline, restarts, optimised tables, progressive in grey and colour,
// a baseline band written as all zeros), PNG, bitmaps and a TGA from the tests' writers.
#include "sound_pictures.h"

#include "bitmap_file.h"
#include "crafted_pictures.h"

#include <jpeglib.h>

namespace {

// Pixel values that vary across the picture, so that the encoders write more than one run.
unsigned char Sample(int x, int y, int channel) {
    return static_cast<unsigned char>(x * 37 + y * 91 + channel * 53);
}

struct JpegShape {
    const char* name;
    int width, height;
    bool colour, progressive, optimised;
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
    info.optimize_coding = shape.optimised ? TRUE : FALSE;
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

// A PNG's raw rows: filter byte 0, then `bytes` of `value`, `rows` times.
std::string Rows(int rows, size_t bytes, char value) {
    std::string raw;
    for (int i = 0; i < rows; ++i) {
        raw += '\0' + std::string(bytes, value);
    }
    return raw;
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

// A baseline JPEG whose scans state their band as all zeros, as some old encoders wrote the whole band.
std::string ZeroBand(std::string jpeg) {
    for (const auto& scan : JpegLayoutOf(jpeg).scans) {
        const size_t components = static_cast<uint8_t>(jpeg[scan.first + 4]);
        jpeg[scan.first + 5 + 2 * components + 1] = '\0';
    }
    return jpeg;
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
        {"jpeg-colour-optimised", 24, 16, true, false, true, 0},
        {"jpeg-grey-progressive", 16, 24, false, true, false, 2},
    };
    for (const JpegShape& shape : jpegs) {
        pictures.push_back({shape.name, EncodeJpeg(shape)});
    }
    pictures.push_back({"jpeg-colour-zero-band", ZeroBand(EncodeJpeg(jpegs[1]))});
    // PNGs from the tests' own chunk writer, texts, a profile and a palette before the image data; the
    // interlaced one of one pixel, which only the first pass holds.
    const std::string keyword("Commento\0", 9);
    const std::string ancillary =
        PngChunk("zTXt", keyword + '\0' + ZlibStream("Quorvantis 3D")) +
        PngChunk("iTXt", keyword + std::string("\1\0it\0Commento\0", 14) + ZlibStream("codice segreto")) +
        PngChunk("iCCP", keyword + '\0' + ZlibStream(std::string(132, 'p')));
    pictures.push_back(
        {"png-grey-1-texts", PngFile(5, 3, 1, 0, false, ZlibStream(Rows(3, 1, '\xA5')), ancillary)});
    pictures.push_back({"png-rgba-16", PngFile(2, 3, 16, 6, false, ZlibStream(Rows(3, 16, '\x40')))});
    pictures.push_back({"png-palette-4", PngFile(5, 2, 4, 3, false, ZlibStream(Rows(2, 3, '\x12')),
                                                 PngChunk("PLTE", std::string(4 * 3, '\x7F')))});
    pictures.push_back({"png-rgb-interlaced", PngFile(1, 1, 8, 2, true, ZlibStream(Rows(1, 3, '\x20')))});
    return pictures;
}
