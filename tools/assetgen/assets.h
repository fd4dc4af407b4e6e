// The asset groups the generator writes.
#pragma once

#include "image_io.h"

#include "services/game_folders.h"

#include <array>
#include <cstddef>
#include <string>

// One of the game's folders (services/game_folders.h, as the program names it from runDir/bin) below
// runDir, with '/' between the parts and at the end.
template <std::size_t Size>
std::string GameFolder(const std::string& runDir, const std::array<char, Size>& programFolder) {
    const std::string belowRoot = std::string(programFolder.data()).substr(sizeof(game_folders::kRoot) - 1);
    std::string folder = runDir + "/";
    for (char c : belowRoot) {
        folder += c == '\\' ? '/' : c;
    }
    return folder;
}

// Each writes its files below runDir (the game's folders and "Alfabeto/").
bool GenerateSplash(const std::string& runDir);
bool GenerateIcon(const std::string& iconFile);
bool GenerateTitleButtons(const std::string& runDir);
bool GenerateCursor(const std::string& runDir);
bool GenerateMeshes(const std::string& runDir);
bool GeneratePegTextures(const std::string& runDir);
bool GeneratePlayPictures(const std::string& runDir);
bool GeneratePeriphery(const std::string& runDir);
bool GenerateEffectTextures(const std::string& runDir);
