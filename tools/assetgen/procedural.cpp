// Value noise from an integer hash: the same seed always gives the same picture.
#include "procedural.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Hash(int32_t x, int32_t y, int32_t z, unsigned seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ uint32_t(z) * 0xCB1AB31Fu ^
                 seed * 0x9E3779B9u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Lattice(int32_t x, int32_t y, int32_t z, unsigned seed) {
    return float(Hash(x, y, z, seed) & 0xFFFFFFu) / float(0xFFFFFF);
}

float Smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

} // namespace

float ValueNoise2(float x, float y, unsigned seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    const float tx = Smooth(x - fx), ty = Smooth(y - fy);
    const float a = Lerp(Lattice(ix, iy, 0, seed), Lattice(ix + 1, iy, 0, seed), tx);
    const float b = Lerp(Lattice(ix, iy + 1, 0, seed), Lattice(ix + 1, iy + 1, 0, seed), tx);
    return Lerp(a, b, ty);
}

float ValueNoise3(float x, float y, float z, unsigned seed) {
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int32_t ix = int32_t(fx), iy = int32_t(fy), iz = int32_t(fz);
    const float tx = Smooth(x - fx), ty = Smooth(y - fy), tz = Smooth(z - fz);
    float layer[2];
    for (int k = 0; k < 2; ++k) {
        const float a = Lerp(Lattice(ix, iy, iz + k, seed), Lattice(ix + 1, iy, iz + k, seed), tx);
        const float b = Lerp(Lattice(ix, iy + 1, iz + k, seed), Lattice(ix + 1, iy + 1, iz + k, seed), tx);
        layer[k] = Lerp(a, b, ty);
    }
    return Lerp(layer[0], layer[1], tz);
}

float Fbm2(float x, float y, int octaves, unsigned seed) {
    float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise2(x, y, seed + unsigned(i) * 101u);
        total += amplitude;
        x *= 2.03f;
        y *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float TileableFbm2(float x, float y, int period, int octaves, unsigned seed) {
    float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        const float fx = std::floor(x), fy = std::floor(y);
        const int32_t ix = int32_t(fx), iy = int32_t(fy);
        const auto wrap = [period](int32_t c) { return ((c % period) + period) % period; };
        const float tx = Smooth(x - fx), ty = Smooth(y - fy);
        const unsigned s = seed + unsigned(i) * 101u;
        const float a = Lerp(Lattice(wrap(ix), wrap(iy), 0, s), Lattice(wrap(ix + 1), wrap(iy), 0, s), tx);
        const float b =
            Lerp(Lattice(wrap(ix), wrap(iy + 1), 0, s), Lattice(wrap(ix + 1), wrap(iy + 1), 0, s), tx);
        sum += amplitude * Lerp(a, b, ty);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float Fbm3(float x, float y, float z, int octaves, unsigned seed) {
    float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise3(x, y, z, seed + unsigned(i) * 101u);
        total += amplitude;
        x *= 2.03f;
        y *= 2.03f;
        z *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

uint32_t PackRgb(double r, double g, double b, double a) {
    const auto channel = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255.0)); };
    return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

uint32_t WoodColour(double x, double y, double darkness, unsigned seed) {
    // Rings: a slowly warped distance across the grain, sharpened into bands.
    const float warp = Fbm2(float(x * 0.004), float(y * 0.02), 4, seed);
    const double rings = y * 0.045 + warp * 9.0;
    double band = rings - std::floor(rings);
    band = std::pow(std::sin(band * M_PI), 6.0);
    const double streak = Fbm2(float(x * 0.002), float(y * 0.45), 3, seed + 7u);
    const double t = Clamp01(0.25 + 0.45 * band + 0.5 * (streak - 0.5));
    const double light = 1.0 - 0.55 * darkness;
    // Light walnut to dark walnut.
    const double r = (0.52 - 0.24 * t) * light;
    const double g = (0.31 - 0.16 * t) * light;
    const double b = (0.16 - 0.09 * t) * light;
    return PackRgb(r, g, b);
}

uint32_t FeltColour(double x, double y, double r, double g, double b, unsigned seed) {
    const double fibre = ValueNoise2(float(x * 0.9), float(y * 0.9), seed) - 0.5;
    const double cloud = Fbm2(float(x * 0.01), float(y * 0.01), 4, seed + 3u) - 0.5;
    const double k = 1.0 + 0.10 * fibre + 0.35 * cloud;
    return PackRgb(r * k, g * k, b * k);
}

Image WoodTexture(int size, unsigned seed) {
    // Stretched once over the board, so it need not tile.
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.At(x, y) = WoodColour(x * 3.0, y * 3.0, 0.15, seed);
        }
    }
    return image;
}

Image MarbleTexture(int size, unsigned seed) {
    // Veins from a sine across the diagonal, bent by noise whose lattice wraps with the
    // texture, so that the picture tiles.
    Image image(size, size);
    constexpr int kCells = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) * kCells / float(size), v = float(y) * kCells / float(size);
            const double turbulence = TileableFbm2(u, v, kCells, 5, seed);
            const double vein = std::fabs(std::sin((x + y) * 2.0 * M_PI * 2.0 / size + turbulence * 10.0));
            const double t = std::pow(vein, 0.3);
            image.At(x, y) = PackRgb(0.30 + 0.64 * t, 0.31 + 0.62 * t, 0.30 + 0.58 * t);
        }
    }
    return image;
}
