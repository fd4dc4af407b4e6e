// The picture check's PNG: its chunks read up to IEND and its zlib streams inflated as the decoder will
// inflate them, counting what comes out and keeping none of it. The decoder inflates the image data and
// every compressed text and colour profile it meets to their ends, however far past the picture they
// run: gigabytes from a few megabytes of file.
#include "services/picture_formats.h"

#include <cstring>

#include <zlib.h>

namespace picture_formats {
namespace {

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint64_t kHeaderEnd = 8 + 8 + 13; // signature, IHDR's length and type, its data
constexpr uint32_t kHeaderLength = 13;
constexpr uint64_t kChunkFrame = 4 + 4 + 4; // length, type, then the data, then its CRC
// What the compressed texts and the colour profile may inflate to in all: the decoder's own bound for
// one chunk, which the platform turns off. Profiles and texts run to kilobytes.
constexpr uint64_t kMostTextBytes = 8000000;

// The bytes of the raw rows: a filter byte and the row's bytes for every row of every pass. False for a
// colour type and depth PNG does not have.
bool RawBytes(uint32_t width, uint32_t height, uint32_t depth, uint32_t colourType, bool interlaced,
              uint64_t* bytes) {
    uint64_t channels = 0;
    switch (colourType) {
    case 0: // grey
        channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ? 1 : 0;
        break;
    case 3: // palette
        channels = depth == 1 || depth == 2 || depth == 4 || depth == 8 ? 1 : 0;
        break;
    case 2: // RGB, grey and alpha, RGBA
    case 4:
    case 6:
        channels = depth != 8 && depth != 16 ? 0 : colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
        break;
    default:
        break;
    }
    if (channels == 0) {
        return false;
    }
    const auto passBytes = [&](uint32_t x0, uint32_t y0, uint32_t dx, uint32_t dy) -> uint64_t {
        const uint64_t columns = width > x0 ? (width - x0 + dx - 1) / dx : 0;
        const uint64_t rows = height > y0 ? (height - y0 + dy - 1) / dy : 0;
        return columns == 0 ? 0 : rows * (1 + (columns * channels * depth + 7) / 8);
    };
    if (!interlaced) {
        *bytes = passBytes(0, 0, 1, 1);
        return true;
    }
    // Adam7's seven passes: first column and row, then the steps between them.
    *bytes = passBytes(0, 0, 8, 8) + passBytes(4, 0, 8, 8) + passBytes(0, 4, 4, 8) + passBytes(2, 0, 4, 4) +
             passBytes(0, 2, 2, 4) + passBytes(1, 0, 2, 2) + passBytes(0, 1, 1, 2);
    return true;
}

// Counts what a zlib stream inflates to, in pieces, keeping none of it.
class InflatedCounter {
public:
    InflatedCounter() { m_ready = inflateInit(&m_stream) == Z_OK; }
    ~InflatedCounter() {
        if (m_ready) {
            inflateEnd(&m_stream);
        }
    }
    InflatedCounter(const InflatedCounter&) = delete;
    InflatedCounter& operator=(const InflatedCounter&) = delete;

    // Inflates the next `size` bytes of the stream, all of them and nothing past them, until they are
    // used, the stream ends or fails, or more than `cap` bytes have come out in all. A chunk's data is
    // at most 32 bits long, as zlib counts its input.
    void Feed(const unsigned char* bytes, uint32_t size, uint64_t cap) {
        m_stream.next_in = const_cast<unsigned char*>(bytes);
        m_stream.avail_in = size;
        while (m_ready && !m_ended && !m_failed && m_count <= cap) {
            m_stream.next_out = m_scratch;
            m_stream.avail_out = sizeof(m_scratch);
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            m_count += sizeof(m_scratch) - m_stream.avail_out;
            m_ended = result == Z_STREAM_END;
            m_failed = result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR;
            if (result == Z_BUF_ERROR || (m_stream.avail_in == 0 && m_stream.avail_out != 0)) {
                return; // these bytes are used up
            }
        }
    }

    bool Ready() const { return m_ready; }
    bool Ended() const { return m_ended; }
    uint64_t Count() const { return m_count; }

private:
    z_stream m_stream = {};
    unsigned char m_scratch[32 * 1024];
    uint64_t m_count = 0;
    bool m_ready = false;
    bool m_ended = false;
    bool m_failed = false;
};

// Where the text at `from` in a chunk's data ends, past its terminating zero; false when no zero ends
// it within the data. The result is at most `length`.
bool AfterText(const unsigned char* data, uint64_t length, uint64_t from, uint64_t* after) {
    if (from >= length) {
        return false;
    }
    const void* zero = std::memchr(data + from, 0, length - from);
    if (!zero) {
        return false;
    }
    *after = static_cast<uint64_t>(static_cast<const unsigned char*>(zero) - data) + 1;
    return true;
}

// What a chunk holds before its zlib stream, if it has one.
enum class Stream { None, Broken, At };

// Where a compressed ancillary chunk's zlib stream starts in its data, at most `length`: zTXt and iCCP
// after a keyword and a method byte, a compressed iTXt after its keyword, flag, method, language and
// translated keyword. None for the chunks the decoder does not inflate; Broken for one of those kinds
// too short for what comes before its stream, which no encoder writes.
Stream CompressedStreamAt(const unsigned char* type, const unsigned char* data, uint64_t length,
                          uint64_t* start) {
    if (std::memcmp(type, "zTXt", 4) == 0 || std::memcmp(type, "iCCP", 4) == 0) {
        uint64_t method = 0;
        if (!AfterText(data, length, 0, &method) || method >= length) {
            return Stream::Broken;
        }
        *start = method + 1;
        return Stream::At;
    }
    if (std::memcmp(type, "iTXt", 4) == 0) {
        uint64_t flag = 0;
        if (!AfterText(data, length, 0, &flag) || flag + 2 > length) {
            return Stream::Broken;
        }
        if (data[flag] == 0) {
            return Stream::None; // the text is stored as it is
        }
        uint64_t translated = 0;
        return AfterText(data, length, flag + 2, &translated) && AfterText(data, length, translated, start)
                   ? Stream::At
                   : Stream::Broken;
    }
    return Stream::None;
}

} // namespace

bool StartsAsPng(const unsigned char* bytes, uint64_t size) {
    return size >= sizeof(kSignature) && std::memcmp(bytes, kSignature, sizeof(kSignature)) == 0;
}

// The first chunk is IHDR, whole, with sides within the bounds and a colour type and depth PNG has.
// Then every chunk whole, up to IEND, and every compressed text or profile whole up to its stream. The
// compressed texts and colour profile may not inflate past kMostTextBytes together. The image data, in
// consecutive IDAT chunks, must inflate to the picture's raw rows exactly and end there.
bool PngIsSound(const unsigned char* bytes, uint64_t size) {
    if (size < kHeaderEnd || ReadBig32(bytes + 8) != kHeaderLength ||
        std::memcmp(bytes + 12, "IHDR", 4) != 0) {
        return false;
    }
    const uint32_t width = ReadBig32(bytes + 16);
    const uint32_t height = ReadBig32(bytes + 20);
    const unsigned char* header = bytes + 24; // depth, colour type, compression, filter, interlace
    if (!SideIsSound(width) || !SideIsSound(height) || header[2] != 0 || header[3] != 0 || header[4] > 1) {
        return false;
    }
    uint64_t rawBytes = 0;
    if (!RawBytes(width, height, header[0], header[1], header[4] == 1, &rawBytes)) {
        return false;
    }
    InflatedCounter image;
    uint64_t textBytes = 0;
    enum { Before, Inside, After } imageData = Before;
    for (uint64_t at = sizeof(kSignature); at < size;) {
        if (kChunkFrame > size - at) {
            return false;
        }
        const uint32_t length = ReadBig32(bytes + at);
        const unsigned char* type = bytes + at + 4;
        const unsigned char* data = bytes + at + 8;
        if (length > size - at - kChunkFrame) {
            return false;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) {
            if (imageData == After || !image.Ready()) {
                return false;
            }
            imageData = Inside;
            image.Feed(data, length, rawBytes);
        } else {
            if (imageData == Inside) {
                imageData = After;
            }
            uint64_t text = 0;
            const Stream stream = CompressedStreamAt(type, data, length, &text);
            if (stream == Stream::Broken) {
                return false;
            }
            if (stream == Stream::At) {
                InflatedCounter counter;
                if (!counter.Ready()) {
                    return false;
                }
                counter.Feed(data + text, static_cast<uint32_t>(length - text), kMostTextBytes - textBytes);
                textBytes += counter.Count();
                if (textBytes > kMostTextBytes) {
                    return false;
                }
            }
            if (std::memcmp(type, "IEND", 4) == 0) {
                break;
            }
        }
        at += kChunkFrame + length;
    }
    return image.Ended() && image.Count() == rawBytes;
}

} // namespace picture_formats
