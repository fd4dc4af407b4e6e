// The picture check's JPEG: its markers walked as the standard has them, which is how the decoder reads
// a sound file, up to the end of the picture.
#include "services/picture_formats.h"

namespace picture_formats {
namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kTem = 0x01;
constexpr unsigned char kHuffmanTables = 0xC4;
constexpr unsigned char kArithmeticTables = 0xCC;
constexpr unsigned char kFirstRestart = 0xD0;
constexpr unsigned char kLastRestart = 0xD7;
constexpr unsigned char kStart = 0xD8;
constexpr unsigned char kEnd = 0xD9;
constexpr unsigned char kScan = 0xDA;
constexpr unsigned char kComment = 0xFE;
constexpr uint64_t kFrameHeader = 8; // length, precision, height, width, component count
// The most scans sound encoders write in a picture the platform loads (16 in colour, fewer in grey);
// each costs the decoder a pass over the whole picture, 4096 x 4096 of it in some 70 ms.
constexpr int kMostScans = 16;

// Markers without a length: the restarts and TEM. The decoder passes over them between segments.
bool StandsAlone(unsigned char marker) {
    return (marker >= kFirstRestart && marker <= kLastRestart) || marker == kTem;
}

// SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != kHuffmanTables && marker != 0xC8 &&
           marker != kArithmeticTables;
}

// The segments the decoder reads or passes over by their length; it gives up on any other marker.
bool IsKnownSegment(unsigned char marker) {
    return IsFrameHeader(marker) || marker == kHuffmanTables || marker == kArithmeticTables ||
           marker == kScan || (marker >= 0xDB && marker <= 0xDD) || // DQT, DNL, DRI
           (marker >= 0xE0 && marker <= 0xEF) || marker == kComment;
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
// frame header, its sides within the bounds; every segment whole; no more scans than sound encoders
// write, since the decoder passes over the whole picture once a scan. A scan or the end of the
// picture before the frame header leaves the decoder no size to read; past the frame header the end
// of the file is the decoder's to judge, as is the entropy-coded data.
bool JpegIsSound(const unsigned char* bytes, uint64_t size) {
    bool framed = false;
    int scans = 0;
    uint64_t at = 2;
    for (;;) {
        if (at >= size) {
            return framed;
        }
        if (bytes[at] != kMarker) {
            return false;
        }
        while (at < size && bytes[at] == kMarker) {
            ++at; // fill bytes
        }
        if (at >= size) {
            return framed;
        }
        const unsigned char marker = bytes[at++];
        if (StandsAlone(marker)) {
            continue;
        }
        if (marker == kEnd) {
            return framed;
        }
        if (!IsKnownSegment(marker) || at + 2 > size) {
            return false;
        }
        const uint64_t length = ReadBig16(bytes + at);
        if (length < 2 || at + length > size) {
            return false;
        }
        if (IsFrameHeader(marker)) {
            const unsigned char* frame = bytes + at;
            if (framed || length < kFrameHeader || length < kFrameHeader + 3u * frame[7] ||
                !SideIsSound(ReadBig16(frame + 3)) || !SideIsSound(ReadBig16(frame + 5))) {
                return false;
            }
            framed = true;
        }
        at += length;
        if (marker == kScan) {
            if (!framed || ++scans > kMostScans) {
                return false;
            }
            at = SkipEntropyData(bytes, size, at);
        }
    }
}

} // namespace picture_formats
