// Title-screen buttons and the mouse cursor.
//
// The title buttons are drawn with the sprite scaling (0.5, 0.7), which also scales their
// position, and their hit box is: left 0.5 * x (the drawn left edge), top 0.72 * y (a little
// below the drawn top), bottom 0.7 * (y + H) (the drawn bottom) and right x + W. A texture of
// 1024 x 128 therefore lands as a 512 x 89.6 plate centred on the screen (256 to 768), and the
// plate starts a few pixels below the picture's top so that its visible top matches the box.
#include "assets.h"
#include "canvas.h"
#include "pictures.h"

#include "input/asset_files.h"
#include "shell/asset_files.h"
#include "shell/title_layout.h"

#include <cmath>
#include <string>

namespace {

constexpr double kButtonScaleX = layout::kStartButton.scaleX;
constexpr double kButtonScaleY = layout::kStartButton.scaleY;
static_assert(layout::kTitleExitButton.scaleX == layout::kStartButton.scaleX &&
                  layout::kTitleExitButton.scaleY == layout::kStartButton.scaleY,
              "one picture size and plate for both buttons");

// Start's box top is 7.7 px and Exit's 10.7 px below the drawn top; the plate starts between.
constexpr double kTitlePlateTop = 9.0;
static_assert(HitTopOffset(layout::kStartButton) < kTitlePlateTop &&
                  kTitlePlateTop < HitTopOffset(layout::kTitleExitButton),
              "the plate's top lies between the two boxes' tops");

// Classic arrow outline, tip at (0, 0), in cursor pixels.
constexpr double kArrow[][2] = {{0, 0}, {0, 21}, {5, 16.5}, {8.6, 24.5}, {12, 23}, {8.4, 15}, {14.6, 15}};

} // namespace

Image DrawTitleButton(const char* label, bool lit) {
    Canvas canvas(kTitleButtonTexW, kTitleButtonTexH, kButtonScaleX, kButtonScaleY);
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    Plaque(canvas, 8, kTitlePlateTop, w - 16, h - kTitlePlateTop - 4, label, 40, lit);
    Image image = canvas.ToImage();
    ApplyColourKey(image);
    return image;
}

Image DrawCursor() {
    // Drawn on transparency, then flattened: solid pixels over a dark outline, the rest the key.
    Canvas canvas(32, 32, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    cairo_translate(cr, 1.0, 1.0);
    cairo_move_to(cr, kArrow[0][0], kArrow[0][1]);
    for (const auto& p : kArrow) {
        cairo_line_to(cr, p[0], p[1]);
    }
    cairo_close_path(cr);
    SetLinearGradient(cr, 0, 0, 10, 24, {{0.0, {1.0, 1.0, 1.0}}, {1.0, {0.86, 0.84, 0.78}}});
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0x20 / 255.0, 0x20 / 255.0, 0x20 / 255.0);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);

    Image image = canvas.ToImage();
    const uint32_t outline = 0xFF202020u;
    for (uint32_t& p : image.pixels) {
        const uint32_t a = p >> 24;
        if (a < 90) {
            p = kColourKey;
            continue;
        }
        // Blend edge pixels onto the outline colour so no dark fringe is keyed away.
        const auto mix = [a](uint32_t c, uint32_t o) { return (c * a + o * (255 - a)) / 255; };
        p = 0xFF000000u | mix((p >> 16) & 0xFF, 0x20) << 16 | mix((p >> 8) & 0xFF, 0x20) << 8 |
            mix(p & 0xFF, 0x20);
        if (p == kColourKey) {
            p = outline;
        }
    }
    // The hot spot is the top-left pixel: keep it visible.
    image.At(0, 0) = outline;
    return image;
}

bool GenerateTitleButtons(const std::string& runDir) {
    const std::string dir = GameFolder(runDir, game_folders::kButtons);
    return WritePng(dir + asset_files::kStartButton, DrawTitleButton("INIZIA", false), true) &&
           WritePng(dir + asset_files::kStartButtonOver, DrawTitleButton("INIZIA", true), true) &&
           WritePng(dir + asset_files::kTitleExitButton, DrawTitleButton("ESCI", false), true) &&
           WritePng(dir + asset_files::kTitleExitButtonOver, DrawTitleButton("ESCI", true), true);
}

bool GenerateCursor(const std::string& runDir) {
    return WriteBytes(GameFolder(runDir, game_folders::kMouse) + asset_files::kCursor,
                      EncodeBmp24(DrawCursor()));
}
