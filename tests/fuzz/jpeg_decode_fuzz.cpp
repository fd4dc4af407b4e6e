// The fuzz target of what the picture check lets through: every input the check accepts as a JPEG is
// decoded to the last scanline with the system's libjpeg-turbo, of the family of the platform's decoder
// (Wine's is IJG libjpeg 9) and faster. One that costs it more than kMostDecodeSeconds of its thread's
// time, over what any picture within the bounds is known to cost it, or that it warns holds a scan the
// standard does not allow, stops the run as a crash would. The check itself runs under the sanitizers as
// in the check's own target. Beside libFuzzer's own mutations, half of them change a JPEG as a whole: a
// scan copied, the coding changed, the sides grown or a scan's data rewritten.
#include "crafted_pictures.h"
#include "guarded_bytes.h"

#include "services/picture_check.h"
#include "services/picture_formats.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string_view>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr double kMostDecodeSeconds = 1.0;

GuardedBytes g_Bytes;

// The work the decoder did, as counters libFuzzer reads beside its coverage of the check: an input that
// makes the decoder pass over a larger picture, in more scans, warn more often about its data (a
// restart missing, a coefficient past its band) or take longer, by a quarter of a doubling, is new to
// it and kept. The run then climbs towards the costliest files the check accepts instead of wandering
// among cheap ones.
__attribute__((section("__libfuzzer_extra_counters"))) uint8_t g_DecoderWork[4][64];

// The thread's own time, which the other processes of a busy machine do not add to.
double ThreadSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Steps of a quarter of a doubling from a millisecond.
int QuarterDoublings(double seconds) {
    return seconds < 1e-3 ? 0 : std::min(63, 1 + static_cast<int>(4 * std::log2(seconds * 1e3)));
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
    bool baseline = false;   // the frame header is SOF0
    bool brokenScan = false; // a scan the standard does not allow, which the decoder decodes anyway
};

// The decoder gives up on what it cannot read; the platform's loader then fails, which costs nothing.
[[noreturn]] void GiveUp(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Decoder*>(info->client_data)->failed, 1);
}

// Warnings (level -1) about the data are counted, not printed: the decoder goes on after each.
void Warn(j_common_ptr info, int level) {
    Decoder* decoder = reinterpret_cast<Decoder*>(info->client_data);
    if (level < 0) {
        ++decoder->warnings;
        const int code = info->err->msg_code;
        // The one scan the check accepts that the decoder warns of: a baseline scan's band written as
        // all zeros, as old encoders did, which it decodes as the whole band.
        const j_decompress_ptr scan = reinterpret_cast<j_decompress_ptr>(info);
        const bool zeroBand =
            decoder->baseline && scan->Ss == 0 && scan->Se == 0 && scan->Ah == 0 && scan->Al == 0;
        decoder->brokenScan = decoder->brokenScan || code == JWRN_BOGUS_PROGRESSION ||
                              (code == JWRN_NOT_SEQUENTIAL && !zeroBand);
    }
}

// Decodes to what the platform's decoder hands out, grey to grey, CMYK to CMYK and anything else to
// RGB, every scanline read. True when the decoder warned of a scan the standard does not allow.
bool Decode(const unsigned char* bytes, size_t size) {
    Decoder decoder;
    const size_t frame = JpegLayoutOf({reinterpret_cast<const char*>(bytes), size}).frame;
    decoder.baseline = frame < size && bytes[frame + 1] == 0xC0;
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
    return decoder.brokenScan;
}

} // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    const JpegLayout layout = JpegLayoutOf({reinterpret_cast<const char*>(data), size});
    if (random() % 2 || layout.frame == size || layout.scans.empty()) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::vector<uint8_t> jpeg(data, data + size);
    const auto scan = layout.scans[random() % layout.scans.size()];
    const size_t dataStart =
        scan.first + 2 + (static_cast<size_t>(jpeg[scan.first + 2]) << 8 | jpeg[scan.first + 3]);
    switch (random() % 4) {
    case 0: { // the scan again after itself
        const std::vector<uint8_t> copy(jpeg.begin() + scan.first, jpeg.begin() + scan.second);
        jpeg.insert(jpeg.begin() + scan.second, copy.begin(), copy.end());
        break;
    }
    case 1: { // another coding: sequential, progressive, in Huffman or arithmetic coding
        static const uint8_t kFrames[] = {0xC0, 0xC1, 0xC2, 0xC9, 0xCA};
        jpeg[layout.frame + 1] = kFrames[random() % sizeof(kFrames)];
        break;
    }
    case 2: // the sides grown towards the bound
        if (layout.frame + 9 <= jpeg.size()) {
            const uint16_t side = static_cast<uint16_t>(4096 >> (random() % 4));
            jpeg[layout.frame + 5] = jpeg[layout.frame + 7] = static_cast<uint8_t>(side >> 8);
            jpeg[layout.frame + 6] = jpeg[layout.frame + 8] = static_cast<uint8_t>(side & 0xFF);
        }
        break;
    default: { // the scan's data a pattern of a few bytes repeated, no FF among them
        if (dataStart > scan.second) {
            break;
        }
        uint8_t pattern[8];
        const size_t length = 1 + random() % sizeof(pattern);
        for (size_t i = 0; i < length; ++i) {
            pattern[i] = static_cast<uint8_t>(random() % 0xFF);
        }
        std::vector<uint8_t> bytes(random() % 512);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = pattern[i % length];
        }
        jpeg.erase(jpeg.begin() + dataStart, jpeg.begin() + scan.second);
        jpeg.insert(jpeg.begin() + dataStart, bytes.begin(), bytes.end());
        break;
    }
    }
    if (jpeg.size() > maxSize) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::copy(jpeg.begin(), jpeg.end(), data);
    return jpeg.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const unsigned char* bytes = g_Bytes.Hold(data, size);
    if (PictureIsSpoiled(bytes, size) || !picture_formats::StartsAsJpeg(bytes, size)) {
        return 0;
    }
    const double start = ThreadSeconds();
    const bool brokenScan = Decode(bytes, size);
    const double seconds = ThreadSeconds() - start;
    g_DecoderWork[3][QuarterDoublings(seconds)] = 1;
    if (seconds > kMostDecodeSeconds) {
        std::fprintf(stderr,
                     "jpeg_decode_fuzz: the check accepts a JPEG that took the decoder %.2f s, over %.1f s\n",
                     seconds, kMostDecodeSeconds);
        std::abort();
    }
    if (brokenScan) {
        std::fprintf(
            stderr,
            "jpeg_decode_fuzz: the check accepts a scan the decoder warns the standard does not allow\n");
        std::abort();
    }
    return 0;
}
