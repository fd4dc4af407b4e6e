// Pictures of the play screen: the colour buttons, the count labels, the help button, the
// instructions, the solution panel and the end-of-game buttons.
//
// Each picture is drawn with a sprite scaling that also scales its position; the hit box of a
// button at (x, y) with the scaling (0.5, 0.7) runs from 0.72 * y (a little below the drawn
// top, at 0.7 * y) to the drawn bottom (ui/button_layout.h). Plates therefore start 0.02 * y
// below the picture's top. JPEG pictures cannot be transparent (the colour key needs exact
// black), so where they should look transparent they carry the background that lies under them.
#include "assets.h"
#include "canvas.h"
#include "pictures.h"
#include "playscreen.h"

#include "game/layout.h"
#include "game/asset_files.h"

#include <string>

namespace {

constexpr double kButtonScaleX = layout::kColourButtons[0].scaleX;
constexpr double kButtonScaleY = layout::kColourButtons[0].scaleY;
constexpr double kLabelScale = layout::kExactLabel.scaleX;
static_assert(static_cast<float>(layout::kButtonHitBottom) == layout::kColourButtons[0].scaleY,
              "the plates reach the drawn bottom, where the hit box ends");
constexpr int kJpegQuality = 93;

// Unscaled positions of the play screen's buttons, as the game sets them up.
constexpr double kColourButtonX = layout::PlaceX(layout::kColourButtons[0]);
constexpr double kColourButtonY[5] = {
    layout::PlaceY(layout::kColourButtons[0]), layout::PlaceY(layout::kColourButtons[1]),
    layout::PlaceY(layout::kColourButtons[2]), layout::PlaceY(layout::kColourButtons[3]),
    layout::PlaceY(layout::kColourButtons[4])};
constexpr double kLabelX = layout::PlaceX(layout::kExactLabel);
constexpr double kExactLabelY = layout::PlaceY(layout::kExactLabel);
constexpr double kColourLabelY = layout::PlaceY(layout::kColourLabel);
constexpr double kHelpX = layout::PlaceX(layout::kHelpButton), kHelpY = layout::PlaceY(layout::kHelpButton);
constexpr double kPanelX = layout::PlaceX(layout::kSolutionPanel);
constexpr double kPanelY = layout::PlaceY(layout::kSolutionPanel);

// Where the game writes its texts on these pictures (screen pixels).
constexpr double kCountX = layout::kScreenWidth * layout::kCountXPercent / 100;
constexpr double kExactCountY = layout::kScreenHeight * layout::kExactCountYPercent / 100;
constexpr double kColourCountY = layout::kScreenHeight * layout::kColourCountYPercent / 100;
constexpr double kSolutionTextY = static_cast<int>(layout::kScreenHeight * layout::kSolutionY);

const char* const kColourWords[5] = {"ROSSO", "GIALLO", "VERDE", "BLU", "VIOLA"};

// The dark felt face with a gold rim shared by the panels.
void Panel(Canvas& canvas, double x, double y, double w, double h, double radius) {
    cairo_t* cr = canvas.Cr();
    canvas.Shadow([&](cairo_t* s) { RoundedRect(s, x, y, w, h, radius); }, 0, 3, 5, 0.7);
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, radius);
    SetLinearGradient(cr, 0, y, 0, y + h, {{0.0, {0.07, 0.22, 0.13}}, {1.0, {0.03, 0.10, 0.06}}});
    cairo_fill_preserve(cr);
    SetRgb(cr, kGold);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    RoundedRect(cr, x + 5, y + 5, w - 10, h - 10, radius * 0.7);
    SetRgb(cr, kGoldDark, 0.8);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A sunken dark box for text the game writes in white.
void TextSlot(Canvas& canvas, double x, double y, double w, double h) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, 7);
    cairo_set_source_rgb(cr, 0.04, 0.035, 0.03);
    cairo_fill_preserve(cr);
    SetRgb(cr, kGold, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    // Inner shadow along the top edge.
    RoundedRect(cr, x + 1.5, y + 1.5, w - 3, h * 0.35, 6);
    SetLinearGradient(cr, 0, y, 0, y + h * 0.35, {{0.0, {0, 0, 0}, 0.6}, {1.0, {0, 0, 0}, 0.0}});
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

Image DrawColourButton(int colour) {
    Canvas canvas(256, 128, kButtonScaleX, kButtonScaleY);
    const double y = kColourButtonY[colour];
    PaintBackgroundUnder(canvas, kColourButtonX * kButtonScaleX, y * kButtonScaleY);
    const double top = std::max(2.0, HitTopOffset(layout::kColourButtons[colour]));
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    Plaque(canvas, 1, top, w - 6, h - top - 4, "", 0, false);
    const double middle = top + (h - top - 4) / 2;
    GlossyBall(canvas, 28, middle, 17, kPegColours[colour]);
    TextStyle word{"DejaVu Sans Condensed", true, false, 15};
    GoldText(canvas, kColourWords[colour], word, 83, middle + 5.5, Align::Centre);
    return canvas.ToImage();
}

Image DrawCountLabel(bool colours) {
    const double labelY = colours ? kColourLabelY : kExactLabelY;
    const double countY = colours ? kColourCountY : kExactCountY;
    const char* const title = colours ? "COLORI" : "ESATTI";
    const char* const line1 = colours ? "colori" : "al posto";
    const char* const line2 = colours ? "in comune" : "giusto";
    Canvas canvas(512, 256, kLabelScale, kLabelScale);
    const double x0 = kLabelX * kLabelScale, y0 = labelY * kLabelScale;
    PaintBackgroundUnder(canvas, x0, y0);
    Panel(canvas, 6, 4, 244, 102, 12);
    TextStyle heading{"DejaVu Serif", true, false, 19};
    GoldText(canvas, title, heading, 128, 28, Align::Centre);
    // The count's first digit is written in white from (kCountX, countY), 18 pixels high.
    const double slotX = kCountX - x0 - 16, slotY = countY - y0 - 11;
    TextSlot(canvas, slotX, slotY, 46, 42);
    if (colours) {
        GlossyBall(canvas, 46, 58, 9, kPegColours[0]);
        GlossyBall(canvas, 70, 58, 9, kPegColours[3]);
        GlossyBall(canvas, 58, 78, 9, kPegColours[1]);
    } else {
        GlossyBall(canvas, 58, 66, 14, kPegColours[2]);
    }
    TextStyle small{"DejaVu Sans", false, false, 11.5};
    PlainText(canvas, line1, small, 206, 60, Align::Centre, kCream);
    PlainText(canvas, line2, small, 206, 76, Align::Centre, kCream);
    return canvas.ToImage();
}

Image DrawHelpButton() {
    Canvas canvas(256, 128, kButtonScaleX, kButtonScaleY);
    PaintBackgroundUnder(canvas, kHelpX * kButtonScaleX, kHelpY * kButtonScaleY);
    const double top = HitTopOffset(layout::kHelpButton);
    Plaque(canvas, 3, top, 120, canvas.ScreenHeight() - top - 5, "AIUTO", 20, false);
    return canvas.ToImage();
}

Image DrawInstructions() {
    Canvas canvas(1024, 512, kButtonScaleX, kButtonScaleY);
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    Panel(canvas, 6, 6, w - 12, h - 14, 16);
    TextStyle heading{"DejaVu Serif", true, false, 28};
    GoldText(canvas, "ISTRUZIONI", heading, w / 2, 44, Align::Centre);
    const char* const lines[] = {
        "Il computer sceglie un codice segreto di 5 pioli fra 5 colori",
        "(rosso, giallo, verde, blu, viola); un colore pu\u00f2 ripetersi.",
        "",
        "Clicca i pulsanti colorati a sinistra: ogni clic posa un piolo,",
        "da sinistra a destra. Cinque pioli formano una riga.",
        "",
        "Dopo ogni riga completa leggi, in alto a destra:",
        "\u2022 ESATTI: i pioli del colore giusto al posto giusto;",
        "\u2022 COLORI: quanti colori (non quanti pioli) dei pioli fuori",
        "   posto compaiono anche nel codice segreto.",
        "",
        "Vinci con 5 esatti. Hai 19 righe a disposizione.",
    };
    TextStyle body{"DejaVu Sans", false, false, 14.5};
    double baseline = 80;
    for (const char* line : lines) {
        PlainText(canvas, line, body, 32, baseline, Align::Left, kCream);
        baseline += line[0] ? 21 : 9;
    }
    TextStyle hint{"DejaVu Sans", true, true, 13};
    PlainText(canvas, "Premi un tasto o AIUTO per chiudere", hint, w / 2, h - 22, Align::Centre, kGoldLight);
    Image image = canvas.ToImage();
    ApplyColourKey(image);
    return image;
}

Image DrawSolutionPanel() {
    Canvas canvas(1024, 512, kButtonScaleX, kButtonScaleY);
    const double x0 = kPanelX * kButtonScaleX, y0 = kPanelY * kButtonScaleY;
    PaintBackgroundUnder(canvas, x0, y0);
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    Panel(canvas, 6, 6, w - 12, h - 14, 16);
    TextStyle heading{"DejaVu Serif", true, false, 34};
    GoldText(canvas, "SOLUZIONE", heading, w / 2, 50, Align::Centre);
    TextStyle body{"DejaVu Serif", false, true, 17};
    PlainText(canvas, "Il codice segreto era:", body, w / 2, 84, Align::Centre, kCream);
    // The game writes the five colour words in white from (317, 268).
    const double bandTop = kSolutionTextY - y0 - 11;
    TextSlot(canvas, 22, bandTop, w - 44, 42);
    TextStyle message{"DejaVu Sans", true, false, 18};
    PlainText(canvas, "La partita \u00e8 finita.", message, w / 2, 196, Align::Centre, kCream);
    PlainText(canvas, "Vuoi giocarne un'altra?", message, w / 2, 226, Align::Centre, kGoldLight);
    return canvas.ToImage();
}

Image DrawEndButton(const char* label) {
    Canvas canvas(256, 128, kButtonScaleX, kButtonScaleY);
    const double top = HitTopOffset(layout::kNewGameButton);
    Plaque(canvas, 3, top, 120, canvas.ScreenHeight() - top - 5, label, 20, false);
    Image image = canvas.ToImage();
    ApplyColourKey(image);
    return image;
}

bool GeneratePlayPictures(const std::string& runDir) {
    const std::string gui = GameFolder(runDir, game_folders::kGui);
    for (int c = 0; c < 5; ++c) {
        if (!SaveJpeg(gui + asset_files::kColourButtons[c], DrawColourButton(c), kJpegQuality, true)) {
            return false;
        }
    }
    return SaveJpeg(gui + asset_files::kExactLabel, DrawCountLabel(false), kJpegQuality, true) &&
           SaveJpeg(gui + asset_files::kColourLabel, DrawCountLabel(true), kJpegQuality, true) &&
           SaveJpeg(gui + asset_files::kHelpButton, DrawHelpButton(), kJpegQuality, true) &&
           WritePng(gui + asset_files::kInstructions, DrawInstructions(), true) &&
           SaveJpeg(gui + asset_files::kSolutionPanel, DrawSolutionPanel(), kJpegQuality, true) &&
           WritePng(gui + asset_files::kNewGameButton, DrawEndButton("NUOVA"), true) &&
           WritePng(gui + asset_files::kGameExitButton, DrawEndButton("ESCI"), true);
}
