// The pictures whose layout the game's code fixes (hit boxes, text positions, colour keys),
// as the pixels that are written to their files.
#pragma once

#include "image_io.h"

#include "ui/button_layout.h"

// How far below a button's drawn top its hit box starts (screen pixels); plates start there.
constexpr double HitTopOffset(const layout::ButtonPlace& place) {
    return layout::PlaceY(place) * (layout::kButtonHitTop - place.scaleY);
}

// Title screen: 1024 x 128, keyed (transparent parts are opaque black).
constexpr int kTitleButtonTexW = 1024;
constexpr int kTitleButtonTexH = 128;
Image DrawTitleButton(const char* label, bool lit);
// 32 x 32 arrow, keyed, hot spot at the top-left pixel.
Image DrawCursor();

// Play screen pictures. Colour index 0 to 4: red, yellow, green, blue, violet.
Image DrawColourButton(int colour);
// The label beside the exact-hit count, or beside the colour-hit count.
Image DrawCountLabel(bool colours);
Image DrawHelpButton();
Image DrawInstructions(); // keyed
Image DrawSolutionPanel();
Image DrawEndButton(const char* label); // keyed

// 512 x 128 alphabet: 16 x 32 cells from code 32, glyphs on pure black.
Image DrawAlphabet();
