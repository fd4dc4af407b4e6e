// Pictures against the game's layout: plates start at the hit boxes' tops, the places where
// the game writes white text are dark, and the colour key is where it belongs.
#include "check.h"
#include "pictures.h"

namespace {

double Luminance(uint32_t p) {
    return 0.30 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) + 0.11 * (p & 0xFF);
}

bool IsSolid(uint32_t p) {
    return (p >> 24) == 0xFF && p != kColourKey;
}

// First texel row, down the given column, that is fully opaque and not the key.
int FirstSolidRow(const Image& image, int column) {
    for (int y = 0; y < image.height; ++y) {
        if (IsSolid(image.At(column, y))) {
            return y;
        }
    }
    return -1;
}

// The largest luminance over a screen rectangle of a picture drawn at (x0, y0) with the
// sprite scaling (sx, sy).
double BrightestOver(const Image& image, double x0, double y0, double sx, double sy, double left, double top,
                     double right, double bottom) {
    double brightest = 0.0;
    for (double y = top; y <= bottom; y += 1.0) {
        for (double x = left; x <= right; x += 1.0) {
            const double v = Luminance(image.At(int((x - x0) / sx), int((y - y0) / sy)));
            brightest = v > brightest ? v : brightest;
        }
    }
    return brightest;
}

} // namespace

TEST_CASE(TitleButtonPlatesStartBetweenTheHitBoxTops) {
    // Start at y = 384 and Exit at y = 537, scaling (0.5, 0.7): the boxes' tops lie
    // 0.02 * y screen pixels below the drawn tops, that is 0.02 * y / 0.7 texels.
    for (bool lit : {false, true}) {
        const Image button = DrawTitleButton("INIZIA", lit);
        CHECK(button.width == 1024 && button.height == 128);
        const int top = FirstSolidRow(button, 512);
        CHECK(top >= int(0.02 * 384 / 0.7) - 1 && top <= int(0.02 * 537 / 0.7) + 1);
        CHECK(!IsSolid(button.At(512, 0))); // the key, or the hover glow's fringe
        for (int x = 24; x < 1000; ++x) {
            CHECK(IsSolid(button.At(x, 64)));
        }
    }
    // The hover picture is visibly brighter.
    CHECK(Luminance(DrawTitleButton("ESCI", true).At(100, 64)) >
          Luminance(DrawTitleButton("ESCI", false).At(100, 64)) + 60);
}

TEST_CASE(EndButtonPlatesStartAtTheirHitBoxTop) {
    const Image button = DrawEndButton("NUOVA");
    CHECK(button.width == 256 && button.height == 128);
    const double hitTop = 0.02 * 614 / 0.7; // texels
    const int top = FirstSolidRow(button, 128);
    CHECK(top >= int(hitTop) - 2 && top <= int(hitTop) + 2);
    CHECK(button.At(0, 0) == kColourKey && button.At(255, 127) == kColourKey);
}

TEST_CASE(CursorHotSpotIsItsTopLeftPixel) {
    const Image cursor = DrawCursor();
    CHECK(cursor.width == 32 && cursor.height == 32);
    CHECK(IsSolid(cursor.At(0, 0)));
    CHECK(cursor.At(31, 0) == kColourKey && cursor.At(0, 31) == kColourKey &&
          cursor.At(31, 31) == kColourKey);
    CHECK(Luminance(cursor.At(4, 10)) > 200); // white body
    for (uint32_t p : cursor.pixels) {
        CHECK(p == kColourKey || Luminance(p) >= 0x1C); // outline grey, no near-black fringe
    }
}

TEST_CASE(ColourButtonsShowTheirColourAndNoKey) {
    for (int c = 0; c < 5; ++c) {
        const Image button = DrawColourButton(c);
        CHECK(button.width == 256 && button.height == 128);
        for (uint32_t p : button.pixels) {
            CHECK((p & 0x00FFFFFFu) != 0);
        }
        // Sample the ball, left of the word, below its highlight.
        int r = 0, g = 0, b = 0;
        for (int y = 60; y < 80; ++y) {
            const uint32_t p = button.At(66, y);
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
        const bool expected[5] = {r > 2 * g && r > 2 * b, r > 2 * b && g > 2 * b, g > r && g > b,
                                  b > r && b > g, r > g && b > g};
        CHECK(expected[c]);
    }
}

TEST_CASE(CountsAreWrittenOnDarkSlots) {
    // The game writes each count in white from (901, 53) and (901, 168), 18 pixels high;
    // the labels are drawn at (768, 0) and (768, 112.128) with the scaling 0.5.
    const Image exact = DrawCountLabel(false), colours = DrawCountLabel(true);
    CHECK(exact.width == 512 && exact.height == 256);
    CHECK(BrightestOver(exact, 768, 0, 0.5, 0.5, 901, 53, 925, 71) < 50);
    CHECK(BrightestOver(colours, 768, 112.128, 0.5, 0.5, 901, 168, 925, 186) < 50);
}

TEST_CASE(SolutionIsWrittenOnADarkBand) {
    // The solution's words start at (317, 268); the panel is drawn at (256, 161) with (0.5, 0.7).
    const Image panel = DrawSolutionPanel();
    CHECK(panel.width == 1024 && panel.height == 512);
    CHECK(BrightestOver(panel, 256, 161, 0.5, 0.7, 317, 269, 740, 288) < 50);
}

TEST_CASE(InstructionsAreKeyedOnlyOutsideThePanel) {
    const Image help = DrawInstructions();
    CHECK(help.width == 1024 && help.height == 512);
    CHECK(help.At(0, 0) == kColourKey && help.At(1023, 511) == kColourKey);
    for (int y = 40; y < 460; y += 3) {
        for (int x = 40; x < 984; x += 3) {
            CHECK(IsSolid(help.At(x, y)));
        }
    }
}

TEST_CASE(AlphabetCellsFollowCharacterCodes) {
    const Image alphabet = DrawAlphabet();
    CHECK(alphabet.width == 512 && alphabet.height == 128);
    const auto litPixels = [&](int code, int fromRow, int toRow) {
        const int k = code - 32, cx = (k % 32) * 16, cy = (k / 32) * 32;
        int lit = 0;
        for (int y = fromRow; y < toRow; ++y) {
            for (int x = 0; x < 16; ++x) {
                lit += (alphabet.At(cx + x, cy + y) & 0x00FFFFFFu) != 0;
            }
        }
        return lit;
    };
    CHECK(litPixels(' ', 0, 32) == 0);
    CHECK(litPixels('A', 0, 32) > 40); // row 1, column 1: the block at (16, 32)
    CHECK((alphabet.At(16 + 8, 32 + 16) & 0x00FFFFFFu) != 0 || litPixels('A', 12, 20) > 0);
    CHECK(litPixels(129, 0, 32) == 0);  // undefined in Windows-1252
    CHECK(litPixels(0x80, 0, 32) > 20); // the euro sign
    // Every glyph stays inside its cell's height.
    for (int code = 33; code < 160; ++code) {
        CHECK(litPixels(code, 0, 1) == 0 && litPixels(code, 31, 32) == 0);
    }
    // Black is exactly black: the console keys out 0.
    for (uint32_t p : alphabet.pixels) {
        CHECK((p & 0x00FFFFFFu) == 0 || Luminance(p) >= 1.0);
    }
}
