// A private copy of part of the game's folder, for tests that leave files out or spoil them.
#pragma once

#include "harness.h"

#include <map>
#include <string>
#include <vector>

// A copy of some of the game's files (paths from the game's folder, such as Data\pedino.x), laid out as the
// game's folder in a folder of the process's own, whose bin/ is the working folder while it lives; the
// copy goes with it. A file spoiled in the copy can be put back from the build's.
class GameFolderCopy {
public:
    explicit GameFolderCopy(const std::vector<std::string>& files) {
        GetCurrentDirectoryA(sizeof(m_previous), m_previous);
        m_root = "copia-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_root.c_str(), nullptr);
        CreateDirectoryA((m_root + "\\bin").c_str(), nullptr);
        for (const std::string& file : files) {
            for (size_t slash = file.find('\\'); slash != std::string::npos;
                 slash = file.find('\\', slash + 1)) {
                CreateDirectoryA((m_root + "\\" + file.substr(0, slash)).c_str(), nullptr);
            }
            m_originals[file] = ReadFileBytes(("..\\" + file).c_str());
            EXPECT_FALSE(m_originals[file].empty()) << file << " is not in the build";
            WriteFileBytes((m_root + "\\" + file).c_str(), m_originals[file]);
        }
        SetCurrentDirectoryA((m_root + "\\bin").c_str());
    }
    ~GameFolderCopy() {
        SetCurrentDirectoryA(m_previous);
        RemoveTree(m_root);
    }
    GameFolderCopy(const GameFolderCopy&) = delete;
    GameFolderCopy& operator=(const GameFolderCopy&) = delete;

    void Spoil(const std::string& file, const std::string& bytes) const {
        WriteFileBytes(("..\\" + file).c_str(), bytes);
    }
    void Restore(const std::string& file) const {
        WriteFileBytes(("..\\" + file).c_str(), m_originals.at(file));
    }

private:
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA entry;
        const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = entry.cFileName;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (name != "." && name != "..") {
                        RemoveTree(folder + "\\" + name);
                    }
                } else {
                    RemovePath((folder + "\\" + name).c_str());
                }
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemovePath(folder.c_str());
    }

    char m_previous[MAX_PATH] = {};
    std::string m_root;
    std::map<std::string, std::string> m_originals;
};
