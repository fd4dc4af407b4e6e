// The asset groups the generator writes.
#pragma once

#include "image_io.h"

#include <string>

// Each writes its files below runDir ("Immagini/...", "Data/...", "Alfabeto/...").
bool GenerateSplash(const std::string& runDir);
bool GenerateIcon(const std::string& iconFile);
bool GenerateTitleButtons(const std::string& runDir);
bool GenerateCursor(const std::string& runDir);
bool GenerateMeshes(const std::string& runDir);
bool GeneratePegTextures(const std::string& runDir);
bool GeneratePlayPictures(const std::string& runDir);
bool GeneratePeriphery(const std::string& runDir);
bool GenerateEffectTextures(const std::string& runDir);
