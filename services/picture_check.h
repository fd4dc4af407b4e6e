// Inside the services: the check that keeps spoiled picture files away from the platform's loaders,
// which read past the end of such a file, or overflow on the size it states, instead of failing.
#pragma once

#include <cstdint>

// The largest side a picture may state; ours are at most 2048 wide.
constexpr int64_t kLargestPictureSide = 4096;

// True for a file the platform would read as a bitmap (with or without its file header), a PNG, a
// JPEG, a DDS or a TGA whose headers cannot be read whole, do not hold together with the file, or
// state a side of 0 or above kLargestPictureSide (a DDS also a volume above the largest flat picture,
// or more mipmap levels than its sides have): no loader may be given it. Only a bitmap's pixels are
// held against the file; the other decoders check their own. A file that cannot be opened, an empty
// file and a file of another format are not judged (false): the loaders refuse those themselves.
bool PictureFileIsSpoiled(const char* path);
