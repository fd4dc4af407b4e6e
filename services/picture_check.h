// Inside the services: the check that keeps spoiled picture files away from the platform's loaders,
// which read past the end of such a file, overflow on the size it states or work on without bound,
// instead of failing.
#pragma once

#include <cstdint>

// The largest side a picture may state; ours are at most 2048 wide.
constexpr int64_t kLargestPictureSide = 4096;

// True for a file the platform would read as a bitmap (with or without its file header), a PNG, a
// JPEG, a DDS or a TGA whose headers cannot be read whole, do not hold together with the file, or
// state a side of 0 or above kLargestPictureSide (a DDS also a volume above the largest flat picture,
// or more mipmap levels than its sides have); a JPEG whose markers break the standard's rules, with a
// second frame header or more scans than sound encoders write; a PNG whose image data does not inflate
// to its rows exactly, or whose compressed texts inflate past their bound; a DDS of palette indices
// or a volume of DXT blocks; a bitmap in bit fields the decoder mishandles. No loader may be given it.
// A bitmap's pixels and a PNG's image data are held against the file; the other decoders check their
// own. A file that cannot be opened, an empty file and a file of another format are not judged
// (false): the loaders refuse those themselves.
bool PictureFileIsSpoiled(const char* path);
