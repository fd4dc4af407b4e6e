// The fuzz target of what the picture check lets through: every input the check accepts as a JPEG is
// decoded with the system's libjpeg to the last scanline, as the platform's decoder decodes it each
// time a loader opens the file, and one that costs the decoder more than kMostDecodeSeconds of its
// thread's time stops the run as a crash would. No sound JPEG of the run's sizes comes near it: 4 KB
// hold at most 16 Huffman-coded scans over 4096 x 4096, some 0.4 s. The check itself runs under the
// sanitizers as in the check's own target.
#include "guarded_bytes.h"

#include "services/picture_check.h"
#include "services/picture_formats.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <jpeglib.h>

namespace {

constexpr double kMostDecodeSeconds = 1.5;

GuardedBytes g_Bytes;

// The work the decoder did, as counters libFuzzer reads beside its coverage of the check: an input that
// makes the decoder pass over a larger picture, in more scans, or warn more often about its data (a
// restart missing, a coefficient past its band), is new to it and kept. The run then grows towards the
// costliest files the check accepts instead of wandering among cheap ones.
__attribute__((section("__libfuzzer_extra_counters"))) uint8_t g_DecoderWork[3][64];

// The thread's own time, which the other processes of a busy machine do not add to.
double ThreadSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int Log2(uint64_t value) {
    int bits = 0;
    while (value >>= 1) {
        ++bits;
    }
    return bits;
}

struct Decoder {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
    uint64_t warnings = 0;
};

// The decoder gives up on what it cannot read; the platform's loader then fails, which costs nothing.
[[noreturn]] void GiveUp(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Decoder*>(info->client_data)->failed, 1);
}

// Warnings (level -1) about the data are counted, not printed: the decoder goes on after each.
void Warn(j_common_ptr info, int level) {
    if (level < 0) {
        ++reinterpret_cast<Decoder*>(info->client_data)->warnings;
    }
}

// Decodes as the platform's decoder does: grey to grey, CMYK to CMYK, anything else to RGB, every
// scanline read.
void Decode(const unsigned char* bytes, size_t size) {
    Decoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors);
    decoder.errors.error_exit = GiveUp;
    decoder.errors.emit_message = Warn;
    jpeg_create_decompress(&decoder.info);
    decoder.info.client_data = &decoder;
    if (setjmp(decoder.failed) == 0) {
        jpeg_mem_src(&decoder.info, bytes, static_cast<unsigned long>(size));
        jpeg_read_header(&decoder.info, TRUE);
        const J_COLOR_SPACE space = decoder.info.jpeg_color_space;
        decoder.info.out_color_space = space == JCS_GRAYSCALE                   ? JCS_GRAYSCALE
                                       : space == JCS_CMYK || space == JCS_YCCK ? JCS_CMYK
                                                                                : JCS_RGB;
        jpeg_start_decompress(&decoder.info);
        JSAMPARRAY row = decoder.info.mem->alloc_sarray(
            reinterpret_cast<j_common_ptr>(&decoder.info), JPOOL_IMAGE,
            decoder.info.output_width * static_cast<JDIMENSION>(decoder.info.output_components), 1);
        while (decoder.info.output_scanline < decoder.info.output_height) {
            jpeg_read_scanlines(&decoder.info, row, 1);
        }
        jpeg_finish_decompress(&decoder.info);
    }
    const uint64_t area = static_cast<uint64_t>(decoder.info.image_width) * decoder.info.image_height;
    g_DecoderWork[0][Log2(area)] = 1;
    g_DecoderWork[1][decoder.info.input_scan_number & 63] = 1;
    g_DecoderWork[2][Log2(decoder.warnings)] = 1;
    jpeg_destroy_decompress(&decoder.info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const unsigned char* bytes = g_Bytes.Hold(data, size);
    if (PictureIsSpoiled(bytes, size) || !picture_formats::StartsAsJpeg(bytes, size)) {
        return 0;
    }
    const double start = ThreadSeconds();
    Decode(bytes, size);
    const double seconds = ThreadSeconds() - start;
    if (seconds > kMostDecodeSeconds) {
        std::fprintf(stderr,
                     "jpeg_decode_fuzz: the check accepts a JPEG that took the decoder %.2f s, over %.1f s\n",
                     seconds, kMostDecodeSeconds);
        std::abort();
    }
    return 0;
}
