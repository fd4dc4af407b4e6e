// The play screen's background: the board on its table as the game camera sees it, with a
// hole at every peg position, so that the 3D pegs drawn over it stand in the holes.
#pragma once

#include "canvas.h"
#include "image_io.h"

#include "game/layout.h"

// The background texture's side and the sprite scaling it is drawn with are the game's (game/layout.h).
using layout::kBackgroundPictureSide;
using layout::kBackgroundScaleX;
using layout::kBackgroundScaleY;

enum class BoardSurface { Table, BoardTop, BoardFront, HoleWall, HoleFloor };

// What the camera ray through a screen point hits first.
BoardSurface SurfaceAt(double screenX, double screenY);

// The finished background picture (computed once).
const Image& PlayBackground();

// Paints the background under a picture that the game draws at screen point (x0, y0), so
// that opaque pictures (JPEG) blend into the scene; the canvas's units are screen pixels.
void PaintBackgroundUnder(Canvas& canvas, double x0, double y0);

bool GeneratePlayBackground(const std::string& runDir);
