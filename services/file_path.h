// A file's path from its folder and its name, the one way the program joins them: at compile time for
// paths it keeps as constants (JoinPath), at run time for names known only then (JoinPathInto). Plain
// C++ with no platform header, so the asset generator includes it too.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>

namespace file_path_detail {

template <std::size_t FolderSize, std::size_t NameSize>
constexpr std::array<char, FolderSize + NameSize - 1> Join(const char* folder, const char* name) {
    std::array<char, FolderSize + NameSize - 1> path{};
    for (std::size_t i = 0; i + 1 < FolderSize; ++i) {
        path[i] = folder[i];
    }
    for (std::size_t i = 0; i < NameSize; ++i) {
        path[FolderSize - 1 + i] = name[i];
    }
    return path;
}

} // namespace file_path_detail

// The folder ends with its separator; the result is a C string (path.data()) of the two, one
// terminator at the end. The folder may itself be a joined path, so a subfolder joins onto its folder.
template <std::size_t FolderSize, std::size_t NameSize>
constexpr std::array<char, FolderSize + NameSize - 1> JoinPath(const char (&folder)[FolderSize],
                                                               const char (&name)[NameSize]) {
    return file_path_detail::Join<FolderSize, NameSize>(folder, name);
}
template <std::size_t FolderSize, std::size_t NameSize>
constexpr std::array<char, FolderSize + NameSize - 1> JoinPath(const std::array<char, FolderSize>& folder,
                                                               const char (&name)[NameSize]) {
    return file_path_detail::Join<FolderSize, NameSize>(folder.data(), name);
}

// The folder, ending with its separator, then the name, in `path`. False, with `path` empty, when the
// two do not fit with the terminator: a path cut short would name another file. The caller handles a
// refusal as its own missing file, never by loading the empty path.
template <std::size_t PathSize>
[[nodiscard]] bool JoinPathInto(char (&path)[PathSize], const char* folder, const char* name) {
    const std::size_t folderLength = std::strlen(folder);
    const std::size_t nameLength = std::strlen(name);
    if (folderLength + nameLength >= PathSize) {
        path[0] = '\0';
        return false;
    }
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    return true;
}
