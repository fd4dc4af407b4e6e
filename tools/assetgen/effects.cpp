// Textures for effect files: a tiling marble picture and a small noise volume. Effects name
// them in "ResourceName" annotations relative to the game's "..\Data\Textures\" folder.
#include "assets.h"
#include "procedural.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kMarbleSize = 256;
constexpr int kVolumeSize = 16;

// The effect loader keys out opaque black, so every texel keeps some light.
uint32_t NoiseTexel(float value) {
    const uint32_t v = uint32_t(std::clamp(32.0f + value * 223.0f, 32.0f, 255.0f));
    return v << 24 | v << 16 | v << 8 | v;
}

std::vector<uint32_t> NoiseVolume(int size, unsigned seed) {
    std::vector<uint32_t> texels;
    texels.reserve(size_t(size) * size * size);
    const float scale = 4.0f / float(size);
    for (int z = 0; z < size; ++z) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                texels.push_back(NoiseTexel(Fbm3(x * scale, y * scale, z * scale, 2, seed)));
            }
        }
    }
    return texels;
}

} // namespace

bool GenerateEffectTextures(const std::string& runDir) {
    const std::string dir = GameFolder(runDir, game_folders::kTextures);
    return WritePng(dir + "marmo.png", MarbleTexture(kMarbleSize, 51u), false) &&
           WriteBytes(dir + "rumore.dds",
                      EncodeDdsVolume(kVolumeSize, kVolumeSize, kVolumeSize, NoiseVolume(kVolumeSize, 61u)));
}
