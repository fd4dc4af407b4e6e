// assetgen RUNDIR ICONFILE: writes every picture, mesh and texture the game reads at run
// time below RUNDIR (whose bin/ is the game's working directory) and the program icon.
#include "assets.h"
#include "canvas.h"
#include "playscreen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

bool MakeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) {
        return true;
    }
    fprintf(stderr, "assetgen: cannot create folder %s: %s\n", path.c_str(), strerror(errno));
    return false;
}

// Creates the folder and all its parents.
bool MakeDirs(const std::string& path) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
        if (!MakeDir(path.substr(0, pos))) {
            return false;
        }
    }
    return MakeDir(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: assetgen RUNDIR ICONFILE\n");
        return 2;
    }
    const std::string runDir = argv[1];
    const std::string iconFile = argv[2];
    if (!CheckFonts()) {
        return 1;
    }
    const std::string folders[] = {
        GameFolder(runDir, game_folders::kButtons),  GameFolder(runDir, game_folders::kGui),
        GameFolder(runDir, game_folders::kMouse),    GameFolder(runDir, game_folders::kSlider),
        GameFolder(runDir, game_folders::kTextures), runDir + "/Alfabeto"};
    for (const std::string& folder : folders) {
        if (!MakeDirs(folder)) {
            return 1;
        }
    }
    const size_t slash = iconFile.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(iconFile.substr(0, slash))) {
        return 1;
    }

    const bool ok = GenerateSplash(runDir) && GenerateIcon(iconFile) && GenerateTitleButtons(runDir) &&
                    GenerateCursor(runDir) && GenerateMeshes(runDir) && GeneratePegTextures(runDir) &&
                    GeneratePlayBackground(runDir) && GeneratePlayPictures(runDir) &&
                    GeneratePeriphery(runDir) && GenerateEffectTextures(runDir);
    if (!ok) {
        fprintf(stderr, "assetgen: failed\n");
        return 1;
    }
    return 0;
}
