// The test programs' entry. Every test process works in a folder of its own beside bin/ (so the
// game's "..\Data\" and "..\Immagini\" still resolve): the cases of one program run side by side as
// separate processes, and the files they write ("options.txt", "D3D.log", screenshots) must not meet.
#include "harness.h"

#include <string>

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);

    char start[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(start), start);
    const std::string folder = std::string(start) + "\\..\\run-" + std::to_string(GetCurrentProcessId());
    RemoveTree(folder); // a folder left by an earlier process of the same id
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());

    const int result = RUN_ALL_TESTS();

    SetCurrentDirectoryA(start);
    RemoveTree(folder);
    return result;
}
