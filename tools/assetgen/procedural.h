// Deterministic noise and the procedural materials built on it (wood, felt, marble).
#pragma once

#include "image_io.h"

#include <cstdint>

float ValueNoise2(float x, float y, unsigned seed);
float ValueNoise3(float x, float y, float z, unsigned seed);
// Sum of octaves of ValueNoise2, normalised to about 0..1.
float Fbm2(float x, float y, int octaves, unsigned seed);
// Like Fbm2, with a lattice that repeats every `period` units, so pictures made from it tile.
float TileableFbm2(float x, float y, int period, int octaves, unsigned seed);
float Fbm3(float x, float y, float z, int octaves, unsigned seed);

uint32_t PackRgb(double r, double g, double b, double a = 1.0);

// Wood with the grain running along x; (x, y) in screen pixels, `darkness` 0 (light) to 1 (dark).
uint32_t WoodColour(double x, double y, double darkness, unsigned seed);
// Felt of the given base colour; (x, y) in screen pixels.
uint32_t FeltColour(double x, double y, double r, double g, double b, unsigned seed);

// Square tiling textures for the meshes and effects.
Image WoodTexture(int size, unsigned seed);
Image MarbleTexture(int size, unsigned seed);
