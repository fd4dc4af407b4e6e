// Picture files built byte by byte for the picture check's tests: PNG chunks and zlib streams of any
// size, progressive JPEG scans, the crafted files that read one way to a loose header check and another
// to the platform's decoders, and the spoiled kinds made of them. Plain C++ with zlib and no platform
// header: the native fuzz target's corpus is made of the same files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JPEG segment: its marker, its length and its data.
std::string JpegSegment(uint8_t marker, const std::string& data);

// Where a JPEG's frame header and scans stand, walked by the segments' lengths as far as they hold:
// the first frame header of any coding (its marker), or the JPEG's size when there is none or the file
// ends before its sides; each scan's marker and the end of its entropy-coded data.
struct JpegLayout {
    size_t frame;
    std::vector<std::pair<size_t, size_t>> scans;
};
JpegLayout JpegLayoutOf(std::string_view jpeg);

// A PNG chunk: its length, type, data and CRC.
std::string PngChunk(const char* type, const std::string& data);

// `raw` deflated into a zlib stream.
std::string ZlibStream(const std::string& raw);

// A PNG of the given sides whose image data is `imageStream` in one IDAT chunk (sound when it inflates
// to the raw rows: a filter byte and the row's bytes, for every pass of an interlaced picture), with
// `ancillary` chunks before it.
std::string PngFile(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, bool interlaced,
                    const std::string& imageStream, const std::string& ancillary = {});

// A zlib stream that inflates to `megabytes` MiB of zeros, made in milliseconds: one flushed block of a
// mebibyte of zeros copied from the window, repeated.
std::string ZerosStream(uint32_t megabytes);

// A greyscale progressive JPEG of width x height (multiples of 8) whose DC scan is followed by `acScans`
// empty AC scans, the n-th of coefficient n alone (from 1, again after 63), each passing over every
// block.
std::string ProgressiveJpeg(uint16_t width, uint16_t height, int acScans);

// A progressive JPEG of 4096 x 4096 in colour, arithmetic-coded, in libjpeg's progression and with a
// restart after every block, its scans without data: the decoder starts its statistics afresh at every
// block and decodes dozens of decisions from the zeros it is fed, millions of blocks over.
std::string ArithmeticJpeg();

// A JPEG made from `jpeg` (with one frame header) whose true frame header states 60000 x 60000, behind
// an FF 00 "marker" whose length lands a loose walk on a 16 x 16 frame header inside an APP1 segment
// that the decoder passes over.
std::string JpegWithHiddenFrameHeader(const std::string& jpeg);

// A DDS of 1 x 1 palette indices at 8 bits, without a palette.
std::string PaletteDds();

// A DDS volume of 128 x 132 x 1 in DXT1 blocks.
std::string DxtVolumeDds();

// A BMP of 1 x 2 pixels in 32-bit bit fields with red in the low byte, its rows from the bottom.
std::string LowRedBitFieldsBitmap();

// A TGA header: true colour, 32 bits a pixel, with `pixels` bytes after it.
std::string TgaPicture(uint16_t width, uint16_t height, size_t pixels);

// A PNG of 1 x 1 grey and 4096 bytes whose last chunk, a zTXt, ends at its keyword's terminator, with
// no room for the method byte or the stream that must follow it: a check that took the stream to start
// past the chunk inflated on past the file, whose end is a page's.
std::string PngWithTextEndingAtItsKeyword();

// A GIF of one 65535 x 16384 frame of colour 0 from a stream of some 400 KB: its LZW codes grow one
// run a code to the full table, then repeat the longest. The platform's decoder reads every frame
// into memory, a gigabyte here, before the loader refuses the format.
std::string LargeFrameGif();

struct SpoiledPicture {
    const char* what;
    std::string bytes;
};

// The build's own pictures the spoiled kinds are made from.
struct BuildPictures {
    std::string cursor; // Immagini/Mouse/cursore.bmp
    std::string png;    // Immagini/Slider/slider.png
    std::string jpeg;   // Immagini/GUI/HELP.jpg, one baseline frame header
    std::string volume; // Data/Textures/rumore.dds, a volume
};

// The spoiled files that crashed or held the platform's picture loaders, or the check itself, under any
// of the game's picture names (D3DX tells a picture by its content, not its name). Each is refused by
// the picture check. Empty when the build's pictures are not the ones expected.
std::vector<SpoiledPicture> SpoiledPictureKinds(const BuildPictures& from);
