// Writes the fuzz target's seeds into a folder: small sound pictures and the build's own small pictures
// of each format (seeds/), which the check must accept, and the spoiled kinds the device tests load,
// made from the build's own pictures (kinds/, in the list's order), which it must refuse; the end-to-end
// tests read the kinds from there. Exits 1, saying why, when a picture is judged otherwise or a file
// cannot be read or written.
//   picture_fuzz_corpus GAME_FOLDER OUT_FOLDER
#include "crafted_pictures.h"
#include "sound_pictures.h"

#include "services/picture_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

bool Read(const fs::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

bool Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

bool Spoiled(const std::string& bytes) {
    return PictureIsSpoiled(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "picture_fuzz_corpus: %s\n", why.c_str());
    return 1;
}

// "kind-01-palette-BMP-0x7FFFFFFF-wide": numbered so that the names sort in the list's order.
std::string KindFileName(size_t index, const std::string& what) {
    char number[32];
    std::snprintf(number, sizeof(number), "kind-%02zu-", index);
    std::string name = number + what;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '-');
    return name;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return Fail("usage: picture_fuzz_corpus GAME_FOLDER OUT_FOLDER");
    }
    const fs::path game = argv[1];
    const fs::path out = argv[2];
    for (const char* folder : {"seeds", "kinds"}) {
        fs::remove_all(out / folder);
        fs::create_directories(out / folder);
    }

    BuildPictures ours;
    if (!Read(game / "Immagini" / "Mouse" / "cursore.bmp", &ours.cursor) ||
        !Read(game / "Immagini" / "Slider" / "slider.png", &ours.png) ||
        !Read(game / "Immagini" / "GUI" / "HELP.jpg", &ours.jpeg) ||
        !Read(game / "Data" / "Textures" / "rumore.dds", &ours.volume)) {
        return Fail("cannot read the build's pictures under " + game.string());
    }
    // Each seed must pass and each kind be refused.
    size_t written = 0;
    const auto keep = [&](const char* folder, const std::string& name, const std::string& bytes,
                          bool spoiled) {
        if (bytes.empty() || Spoiled(bytes) != spoiled) {
            Fail(name + (spoiled ? " passes" : " is refused"));
            return false;
        }
        if (!Write(out / folder / name, bytes)) {
            Fail("cannot write " + name + " in " + (out / folder).string());
            return false;
        }
        ++written;
        return true;
    };
    std::vector<SoundPicture> seeds = SoundPictures();
    seeds.insert(seeds.end(), {{"cursore.bmp", ours.cursor},
                               {"slider.png", ours.png},
                               {"HELP.jpg", ours.jpeg},
                               {"rumore.dds", ours.volume}});
    for (const SoundPicture& seed : seeds) {
        if (!keep("seeds", seed.name, seed.bytes, false)) {
            return 1;
        }
    }
    const std::vector<SpoiledPicture> kinds = SpoiledPictureKinds(ours);
    if (kinds.empty()) {
        return Fail("the build's pictures under " + game.string() + " are not the ones the kinds start from");
    }
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (!keep("kinds", KindFileName(i + 1, kinds[i].what), kinds[i].bytes, true)) {
            return 1;
        }
    }
    std::printf("picture_fuzz_corpus: %zu files in %s\n", written, out.string().c_str());
    return 0;
}
