// Full-screen pictures of the start-up stages (studio logo, title, loading) and the icon.
// The three pictures are drawn with the sprite scaling that makes them cover the screen
// (shell/title_layout.h), so they are laid out in screen pixels and pre-stretched.
#include "assets.h"
#include "canvas.h"
#include "pictures.h"

#include "shell/asset_files.h"
#include "shell/title_layout.h"

#include <cmath>
#include <string>

namespace {

constexpr double kSplashScaleX = layout::kSplashScaleX;
constexpr double kSplashScaleY = layout::kSplashScaleY;
constexpr int kJpegQuality = 92;

// The title picture keeps free for the buttons the band from Start's drawn top to Exit's drawn bottom.
constexpr double kButtonBandTop = layout::PlaceY(layout::kStartButton) * layout::kStartButton.scaleY;
constexpr double kButtonBandBottom =
    (layout::PlaceY(layout::kTitleExitButton) + kTitleButtonTexH) * layout::kTitleExitButton.scaleY;

// Gold letters spread apart by `tracking` pixels, centred on cx.
void SpacedGoldText(Canvas& canvas, const std::string& text, const TextStyle& style, double cx,
                    double baseline, double tracking) {
    double total = 0.0;
    for (char ch : text) {
        const char one[2] = {ch, 0};
        total += TextWidth(canvas.Cr(), one, style) + tracking;
    }
    total -= tracking;
    double x = cx - total / 2.0;
    for (char ch : text) {
        const char one[2] = {ch, 0};
        GoldText(canvas, one, style, x, baseline, Align::Left);
        x += TextWidth(canvas.Cr(), one, style) + tracking;
    }
}

// Felt table inside a wooden frame: the common ground of the title and loading pictures.
void TableBackground(Canvas& canvas) {
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    FillFelt(canvas, 0, 0, w, h, kFelt, 5u);
    Vignette(canvas, 0.75);
    WoodFrame(canvas, 0, 0, w, h, 30, 6);
}

void GoldRule(Canvas& canvas, double x0, double x1, double y) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    SetLinearGradient(cr, x0, 0, x1, 0, {{0.0, kGold, 0.0}, {0.5, kGoldLight}, {1.0, kGold, 0.0}});
    cairo_rectangle(cr, x0, y - 1.2, x1 - x0, 2.4);
    cairo_fill(cr);
    cairo_restore(cr);
}

void PegRow(Canvas& canvas, double cx, double cy, double radius, double spacing) {
    for (int i = 0; i < 5; ++i) {
        GlossyBall(canvas, cx + (i - 2) * spacing, cy, radius, kPegColours[i]);
    }
}

bool DrawLogo(const std::string& path) {
    Canvas canvas(layout::kSplashPictureWidth, layout::kSplashPictureHeight, kSplashScaleX, kSplashScaleY);
    cairo_t* cr = canvas.Cr();
    SetRadialGradient(cr, 512, 330, 40, 512, 384, 700,
                      {{0.0, {0.13, 0.14, 0.17}}, {1.0, {0.02, 0.02, 0.03}}});
    cairo_paint(cr);

    // Emblem: a gold ring holding a chevron "V" with the five game colours along its arms.
    const double cx = 512, cy = 270, ring = 112;
    const auto setGold = [&] {
        SetLinearGradient(cr, cx - ring, cy - ring, cx + ring, cy + ring,
                          {{0.0, kGoldLight}, {0.5, kGold}, {1.0, kGoldDark}});
    };
    canvas.Shadow([&](cairo_t* s) { cairo_arc(s, cx, cy, ring + 10, 0, 2 * M_PI); }, 0, 8, 14, 0.7);
    cairo_save(cr);
    cairo_arc(cr, cx, cy, ring + 10, 0, 2 * M_PI);
    cairo_arc_negative(cr, cx, cy, ring - 4, 2 * M_PI, 0);
    setGold();
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, ring - 4, 0, 2 * M_PI);
    SetRadialGradient(cr, cx, cy - 30, 10, cx, cy, ring,
                      {{0.0, {0.16, 0.18, 0.22}}, {1.0, {0.05, 0.05, 0.07}}});
    cairo_fill(cr);
    cairo_move_to(cr, cx - 62, cy - 50);
    cairo_line_to(cr, cx, cy + 62);
    cairo_line_to(cr, cx + 62, cy - 50);
    cairo_set_line_width(cr, 20);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setGold();
    cairo_stroke(cr);
    cairo_restore(cr);
    const double along[5][2] = {{-62, -50}, {-31, 6}, {0, 62}, {31, 6}, {62, -50}};
    for (int i = 0; i < 5; ++i) {
        GlossyBall(canvas, cx + along[i][0], cy + along[i][1], 13, kPegColours[i]);
    }

    TextStyle name{"DejaVu Sans", true, false, 104};
    SpacedGoldText(canvas, "VARNOX", name, 512, 515, 18);
    GoldRule(canvas, 300, 724, 548);
    TextStyle studio{"DejaVu Sans", false, false, 26};
    PlainText(canvas, "S T U D I O   D I   G I O C H I", studio, 512, 590, Align::Centre, kCream, 0.9);
    TextStyle presents{"DejaVu Serif", false, true, 26};
    PlainText(canvas, "presenta", presents, 512, 690, Align::Centre, kCream, 0.7);
    return SaveJpeg(path, canvas.ToImage(), kJpegQuality, false);
}

bool DrawTitle(const std::string& path) {
    Canvas canvas(layout::kSplashPictureWidth, layout::kSplashPictureHeight, kSplashScaleX, kSplashScaleY);
    TableBackground(canvas);
    cairo_t* cr = canvas.Cr();

    TextStyle title{"DejaVu Serif", true, false, 100};
    GoldText(canvas, "Quorvantis 3D", title, 512, 172, Align::Centre);
    TextStyle subtitle{"DejaVu Serif", false, true, 30};
    PlainText(canvas, "Il gioco del codice segreto", subtitle, 512, 222, Align::Centre, kCream, 0.95);
    GoldRule(canvas, 150, 320, 212);
    GoldRule(canvas, 704, 874, 212);

    // A darker inlay behind the Start and Exit buttons.
    const double top = kButtonBandTop - 16, bottom = kButtonBandBottom + 16;
    cairo_save(cr);
    RoundedRect(cr, 232, top, 560, bottom - top, 18);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.32);
    cairo_fill_preserve(cr);
    SetRgb(cr, kGold, 0.8);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_restore(cr);

    PegRow(canvas, 512, 565, 28, 84);
    TextStyle facts{"DejaVu Sans", true, false, 22};
    PlainText(canvas, "5 posizioni  \u00b7  5 colori  \u00b7  19 tentativi", facts, 512, 641, Align::Centre,
              kCream, 0.92);
    TextStyle hint{"DejaVu Sans", false, false, 18};
    PlainText(canvas, "Premi SPAZIO o INIZIA per giocare, ESC per uscire", hint, 512, 690, Align::Centre,
              kCream, 0.75);
    TextStyle small{"DejaVu Sans", false, false, 14};
    PlainText(canvas, "\u00a9 VARNOX", small, 980, 725, Align::Right, kGoldLight, 0.8);
    return SaveJpeg(path, canvas.ToImage(), kJpegQuality, false);
}

bool DrawLoading(const std::string& path) {
    Canvas canvas(layout::kSplashPictureWidth, layout::kSplashPictureHeight, kSplashScaleX, kSplashScaleY);
    TableBackground(canvas);
    cairo_t* cr = canvas.Cr();

    TextStyle title{"DejaVu Serif", true, false, 54};
    GoldText(canvas, "Quorvantis 3D", title, 512, 150, Align::Centre);
    TextStyle loading{"DejaVu Serif", true, true, 64};
    GoldText(canvas, "Caricamento...", loading, 512, 345, Align::Centre);

    // Progress bar: a sunken track with a gold fill.
    const double bx = 262, by = 385, bw = 500, bh = 26;
    cairo_save(cr);
    RoundedRect(cr, bx, by, bw, bh, bh / 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill_preserve(cr);
    SetRgb(cr, kGoldDark);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, bx + 4, by + 4, (bw - 8) * 0.72, bh - 8, (bh - 8) / 2);
    SetLinearGradient(cr, 0, by, 0, by + bh, {{0.0, kGoldLight}, {1.0, kGoldDark}});
    cairo_fill(cr);
    cairo_restore(cr);

    TextStyle tip{"DejaVu Serif", false, true, 24};
    PlainText(canvas, "Prepara la tua strategia: hai 19 tentativi", tip, 512, 480, Align::Centre, kCream,
              0.95);
    PlainText(canvas, "per scoprire il codice segreto.", tip, 512, 514, Align::Centre, kCream, 0.95);
    PegRow(canvas, 512, 610, 22, 70);
    return SaveJpeg(path, canvas.ToImage(), kJpegQuality, false);
}

} // namespace

bool GenerateSplash(const std::string& runDir) {
    const std::string pictures = GameFolder(runDir, game_folders::kPictures);
    return DrawLogo(pictures + asset_files::kLogo) && DrawLoading(pictures + asset_files::kLoading) &&
           DrawTitle(pictures + asset_files::kTitle);
}

bool GenerateIcon(const std::string& iconFile) {
    // Four pegs on felt in a wooden frame; the rounded corners are masked out.
    Canvas canvas(32, 32, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    RoundedRect(cr, 0.5, 0.5, 31, 31, 6);
    cairo_clip(cr);
    FillWood(canvas, 0, 0, 32, 32, 0.45, 3u);
    RoundedRect(cr, 3, 3, 26, 26, 4);
    SetRgb(cr, kFeltDark);
    cairo_fill_preserve(cr);
    SetRgb(cr, kGold);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    const double centres[4][2] = {{11, 11}, {21, 11}, {11, 21}, {21, 21}};
    const int colours[4] = {0, 1, 3, 2};
    for (int i = 0; i < 4; ++i) {
        GlossyBall(canvas, centres[i][0], centres[i][1], 4.2, kPegColours[colours[i]]);
    }
    return WriteBytes(iconFile, EncodeIco24(canvas.ToImage()));
}
