// The play background against the game camera: every peg position falls in a drawn hole, and
// the status line's corner is dark enough for white text.
#include "camera.h"
#include "check.h"
#include "playscreen.h"

namespace {

double Luminance(uint32_t p) {
    return 0.30 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) + 0.11 * (p & 0xFF);
}

// The background texel that lands on a screen point under the sprite scaling.
uint32_t TexelAt(const Image& image, double screenX, double screenY) {
    return image.At(int(screenX / kBackgroundScaleX), int(screenY / kBackgroundScaleY));
}

} // namespace

TEST_CASE(EveryPegPositionLooksIntoAHole) {
    const GameCamera camera;
    for (int row = 0; row < kRows; ++row) {
        for (int slot = 0; slot < kSlots; ++slot) {
            const ScreenPoint s = camera.Project(HoleCentre(row, slot));
            const BoardSurface surface = SurfaceAt(s.x, s.y);
            CHECK(surface == BoardSurface::HoleWall || surface == BoardSurface::HoleFloor);
        }
    }
    // Between two holes of a row, and between rows, lies the board top.
    const ScreenPoint between = camera.Project(Vec3{4.5, 0, kRowZ[3]});
    CHECK(SurfaceAt(between.x, between.y) == BoardSurface::BoardTop);
    const ScreenPoint gap = camera.Project(Vec3{0, 0, (kRowZ[0] + kRowZ[1]) / 2});
    CHECK(SurfaceAt(gap.x, gap.y) == BoardSurface::BoardTop);
}

TEST_CASE(DrawnHolesAreDarkWhereThePegsStand) {
    const GameCamera camera;
    const Image& background = PlayBackground();
    CHECK(background.width == kBackgroundPictureSide && background.height == kBackgroundPictureSide);
    for (int row = 0; row < kRows; ++row) {
        for (int slot = 0; slot < kSlots; ++slot) {
            const Vec3 centre = HoleCentre(row, slot);
            const ScreenPoint hole = camera.Project(centre);
            // The board beside the hole, halfway to the next slot towards the middle.
            const double side = centre.x > 0 ? -1.5 : 1.5;
            const ScreenPoint board = camera.Project(centre + Vec3{side, 0, 0});
            const double dark = Luminance(TexelAt(background, hole.x, hole.y));
            const double wood = Luminance(TexelAt(background, board.x, board.y));
            CHECK(dark < 0.6 * wood);
        }
    }
}

TEST_CASE(StatusLineCornerIsDarkForWhiteText) {
    const Image& background = PlayBackground();
    // The game writes the status line from (10, 7), 18 pixels high.
    for (double y = 8; y < 25; y += 4) {
        for (double x = 10; x < 400; x += 13) {
            CHECK(Luminance(TexelAt(background, x, y)) < 70);
        }
    }
}
