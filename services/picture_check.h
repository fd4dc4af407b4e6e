// Inside the services: the check that keeps spoiled picture files away from the platform's loaders,
// which read past the end of such a file, overflow on the size it states or work on without bound,
// instead of failing. It judges a file's bytes; services/picture_file.h maps the file. Plain C++ with
// no platform header, so it builds natively for the fuzzer too.
#pragma once

#include <cstdint>

// The largest side a picture may state; ours are at most 2048 wide.
constexpr int64_t kLargestPictureSide = 4096;

// False only for a bitmap (with or without its file header), a JPEG, a PNG, a DDS or a TGA whose
// headers can be read whole, hold together with the file and state sides of 1 to kLargestPictureSide,
// read as the decoder reads them: a JPEG's markers by the standard's rules, with one frame header of a
// Huffman-coded frame of 8-bit samples and its scans as the standard allows them, no more than sound
// encoders write; a PNG's image data inflating to its rows exactly, its compressed texts within their
// bound; a DDS neither of palette indices nor a volume of DXT blocks, with no more mipmap levels than its
// sides have; a bitmap in bit fields the decoder reads soundly.
// Any other content is spoiled: the loaders read no other format, and refusing one can cost them
// minutes. A bitmap's pixels and a PNG's image data are held against the file; the other decoders check
// their own. An empty file (size 0) is not judged: the loaders refuse it themselves.
bool PictureIsSpoiled(const unsigned char* bytes, uint64_t size);
