// The game's folders as the program names them from its working directory, bin/: each ends with its
// separator, so a file's name joins straight on (services/file_path.h). Plain C++ with no platform
// header: the asset generator writes into the same folders, below the game folder it is given.
#pragma once

#include "services/file_path.h"

namespace game_folders {

// The game folder, which holds bin/ beside the others.
constexpr char kRoot[] = "..\\";

constexpr auto kPictures = JoinPath(kRoot, "Immagini\\");
constexpr auto kButtons = JoinPath(kPictures, "Button\\");
constexpr auto kGui = JoinPath(kPictures, "GUI\\");
constexpr auto kMouse = JoinPath(kPictures, "Mouse\\");
constexpr auto kSlider = JoinPath(kPictures, "Slider\\");

constexpr auto kData = JoinPath(kRoot, "Data\\");
constexpr auto kTextures = JoinPath(kData, "Textures\\");

} // namespace game_folders
