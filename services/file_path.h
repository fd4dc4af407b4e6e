// A file's path joined at compile time from its folder and its name, for paths the program keeps as
// constants while the name stands in a plain header shared with the asset generator. Plain C++ with
// no platform header.
#pragma once

#include <array>
#include <cstddef>

// The folder ends with its separator; the result is a C string (path.data()) of the two, one
// terminator at the end.
template <std::size_t FolderSize, std::size_t NameSize>
constexpr std::array<char, FolderSize + NameSize - 1> JoinPath(const char (&folder)[FolderSize],
                                                               const char (&name)[NameSize]) {
    std::array<char, FolderSize + NameSize - 1> path{};
    for (std::size_t i = 0; i + 1 < FolderSize; ++i) {
        path[i] = folder[i];
    }
    for (std::size_t i = 0; i < NameSize; ++i) {
        path[FolderSize - 1 + i] = name[i];
    }
    return path;
}
