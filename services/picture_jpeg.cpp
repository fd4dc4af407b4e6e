// The picture check's JPEG: its markers walked as the standard has them, which is how the decoder reads
// a sound file, up to the end of the picture; of its codings only those the loaders are made for, and
// its scans as the standard allows them.
#include "services/picture_formats.h"

#include <cstring>

namespace picture_formats {
namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kTem = 0x01;
constexpr unsigned char kBaseline = 0xC0;
constexpr unsigned char kExtended = 0xC1;
constexpr unsigned char kProgressive = 0xC2;
constexpr unsigned char kHuffmanTables = 0xC4;
constexpr unsigned char kFirstRestart = 0xD0;
constexpr unsigned char kLastRestart = 0xD7;
constexpr unsigned char kStart = 0xD8;
constexpr unsigned char kEnd = 0xD9;
constexpr unsigned char kScan = 0xDA;
constexpr unsigned char kComment = 0xFE;
constexpr uint64_t kFrameHeader = 8; // length, precision, height, width, component count
constexpr uint64_t kScanHeader = 6;  // length, component count, then 2 bytes a component, then 3
constexpr unsigned char kPrecision = 8;
// A scan names at most four components. Four are CMYK or YCCK, which Wine 8.0's D3DX decodes and then
// refuses; D3DX elsewhere may read them.
constexpr int kMostComponents = 4;
constexpr int kCoefficients = 64;
constexpr int kLastBit = 13; // the decoder's bound on a scan's successive-approximation bits
// Above the scans libjpeg writes (10 in colour, 6 in grey; 18 for four components, which Wine's
// loaders refuse anyway); each costs the decoder a pass over the whole picture.
constexpr int kMostScans = 16;

// Markers without a length: the restarts and TEM. The decoder passes over them between segments.
bool StandsAlone(unsigned char marker) {
    return (marker >= kFirstRestart && marker <= kLastRestart) || marker == kTem;
}

// The Huffman-coded frames of 8-bit samples: baseline, extended sequential and progressive. The other
// frame headers (lossless, hierarchical, and every arithmetic-coded one) and the segments only those
// use (DAC, DHP, EXP) are unknown here: arithmetic coding costs the decoder up to 64 decisions a
// coefficient whatever the data holds, so a file of a kilobyte can hold a load for over a second.
bool IsFrameHeader(unsigned char marker) {
    return marker == kBaseline || marker == kExtended || marker == kProgressive;
}

// The segments the decoder reads or passes over by their length; it gives up on any other marker.
bool IsKnownSegment(unsigned char marker) {
    return IsFrameHeader(marker) || marker == kHuffmanTables || marker == kScan ||
           (marker >= 0xDB && marker <= 0xDD) || // DQT, DNL, DRI
           (marker >= 0xE0 && marker <= 0xEF) || marker == kComment;
}

// The frame's components (none before its header) and what the scans so far have decoded of each: for
// each coefficient, the bit its last scan left it at, or -1 before its first scan. A sequential scan
// decodes every coefficient whole, noted as its DC at bit 0.
struct Frame {
    unsigned char coding = 0; // the frame header's marker
    int components = 0;
    unsigned char ids[kMostComponents] = {};
    signed char bits[kMostComponents][kCoefficients];
};

// The frame header (`header`: its length on) within the bounds: 8-bit samples, one to four components
// of ids of their own and sides of 1 to kLargestPictureSide. No sound encoder repeats an id, and the
// decoders part ways on which component a scan then names.
bool ReadFrame(unsigned char marker, const unsigned char* header, uint64_t length, Frame* frame) {
    if (length < kFrameHeader || header[2] != kPrecision || header[7] < 1 || header[7] > kMostComponents ||
        length < kFrameHeader + 3u * header[7] || !SideIsSound(ReadBig16(header + 3)) ||
        !SideIsSound(ReadBig16(header + 5))) {
        return false;
    }
    for (int c = 0; c < header[7]; ++c) {
        frame->ids[c] = header[kFrameHeader + 3 * c];
        for (int earlier = 0; earlier < c; ++earlier) {
            if (frame->ids[earlier] == frame->ids[c]) {
                return false;
            }
        }
    }
    frame->coding = marker;
    frame->components = header[7];
    std::memset(frame->bits, -1, sizeof(frame->bits));
    return true;
}

// A scan header (`header`: its length on) as the standard allows it, and what it decodes noted in the
// frame. The decoders stop at a band or bits out of range, but a scan out of order they decode, a pass
// over the picture each time: with a warning (an AC scan before its component's DC, a refinement out of
// turn, a coefficient's first scan again) or without (a sequential component's second scan, to IJG
// libjpeg 9). In a sequential frame each component stands in one scan, which holds every coefficient.
// In a progressive one a component's DC comes before its AC, an AC scan holds one component, and each
// coefficient has one first scan and then refinements of one bit each, each bit once. A component may
// stand in no scan: the decoder fills it with grey, at no more cost than a progressive picture's, as it
// does when a file ends before the component's scan.
bool ReadScan(const unsigned char* header, uint64_t length, Frame* frame) {
    const int count = length > 2 ? header[2] : 0;
    if (count < 1 || count > kMostComponents || length != kScanHeader + 2u * count) {
        return false;
    }
    int named[kMostComponents]; // the frame's index of each component the scan names
    for (int i = 0; i < count; ++i) {
        int c = 0;
        while (c < frame->components && frame->ids[c] != header[3 + 2 * i]) {
            ++c;
        }
        if (c == frame->components) {
            return false;
        }
        for (int j = 0; j < i; ++j) {
            if (named[j] == c) {
                return false;
            }
        }
        named[i] = c;
    }
    const unsigned char* spectral = header + 3 + 2 * count;
    const int first = spectral[0];
    const int last = spectral[1];
    const int high = spectral[2] >> 4;
    const int low = spectral[2] & 0x0F;
    if (frame->coding != kProgressive) {
        // Old encoders wrote a baseline scan's band as all zeros, which the decoders read as the whole
        // band; in an extended frame IJG libjpeg 9 reads Se as the size of a scaled block.
        const bool wholeBand = last == kCoefficients - 1 || (frame->coding == kBaseline && last == 0);
        if (first != 0 || !wholeBand || high != 0 || low != 0) {
            return false;
        }
        for (int i = 0; i < count; ++i) {
            signed char& dc = frame->bits[named[i]][0];
            if (dc >= 0) {
                return false;
            }
            dc = 0;
        }
        return true;
    }
    const bool dc = first == 0;
    if ((dc ? last != 0 : last < first || last >= kCoefficients || count != 1) || low > kLastBit ||
        (high != 0 && low != high - 1)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        signed char* bits = frame->bits[named[i]];
        if (!dc && bits[0] < 0) {
            return false;
        }
        for (int k = first; k <= last; ++k) {
            if (bits[k] < 0 ? high != 0 : high == 0 || high != bits[k]) {
                return false;
            }
            bits[k] = static_cast<signed char>(low);
        }
    }
    return true;
}

// Past a scan's entropy-coded data, which ends at the first marker other than a restart: FF 00 is a
// stuffed zero, and a run of FF is fill before whatever follows it. Returns where that marker's first
// FF stands, or the end of the file.
uint64_t SkipEntropyData(const unsigned char* bytes, uint64_t size, uint64_t at) {
    while (at < size) {
        if (bytes[at] != kMarker) {
            ++at;
            continue;
        }
        const uint64_t marker = at;
        while (at < size && bytes[at] == kMarker) {
            ++at;
        }
        if (at < size && bytes[at] != 0x00 && (bytes[at] < kFirstRestart || bytes[at] > kLastRestart)) {
            return marker;
        }
        ++at;
    }
    return size;
}

} // namespace

bool StartsAsJpeg(const unsigned char* bytes, uint64_t size) {
    return size >= 2 && bytes[0] == kMarker && bytes[1] == kStart;
}

// The markers walked as the standard has them, which is how the decoder reads a sound file: where a
// marker must stand, FF, fill bytes FF, then a code that is neither 00 nor unknown. The decoder
// passes over anything else to the next marker, so a file whose garbage hides a segment (FF 00 read
// as a marker by a looser walk) would show it another frame header than the one checked here. One
// frame header of a Huffman-coded 8-bit frame, its sides within the bounds; every segment whole; scans
// as the standard allows them, and no more than encoders write, since the decoder passes over the whole
// picture once a scan. A scan or the end of the picture before the frame header leaves the
// decoder no size to read; past the frame header the end of the file is the decoder's to judge, as is
// the entropy-coded data.
bool JpegIsSound(const unsigned char* bytes, uint64_t size) {
    Frame frame;
    int scans = 0;
    uint64_t at = 2;
    for (;;) {
        if (at >= size) {
            return frame.components > 0;
        }
        if (bytes[at] != kMarker) {
            return false;
        }
        while (at < size && bytes[at] == kMarker) {
            ++at; // fill bytes
        }
        if (at >= size) {
            return frame.components > 0;
        }
        const unsigned char marker = bytes[at++];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == kEnd) {
            return frame.components > 0;
        }
        if (!IsKnownSegment(marker) || at + 2 > size) {
            return false;
        }
        const uint64_t length = ReadBig16(bytes + at);
        if (length < 2 || at + length > size) {
            return false;
        }
        if (IsFrameHeader(marker)) {
            if (frame.components > 0 || !ReadFrame(marker, bytes + at, length, &frame)) {
                return false;
            }
        }
        if (marker == kScan &&
            (frame.components == 0 || ++scans > kMostScans || !ReadScan(bytes + at, length, &frame))) {
            return false;
        }
        at += length;
        if (marker == kScan) {
            at = SkipEntropyData(bytes, size, at);
        }
    }
}

} // namespace picture_formats
