// Pictures of the engine components that no screen shows yet: the slider, the bitmap
// alphabet and the console's background.
#include "assets.h"
#include "canvas.h"
#include "pictures.h"

#include "ui/asset_files.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Alphabet layout: 16 x 32 cells from code 32, 32 cells a row in a 512-pixel-wide bitmap.
// The cell index is a signed 8-bit value, so codes 32 to 159 (128 cells, 4 rows) are all.
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 32;
constexpr int kCellsPerRow = 32;
constexpr int kFirstCode = 32;
constexpr int kCellCount = 128;

// Codes 128 to 159 in the Windows-1252 code page the program's texts use; 0 where undefined.
constexpr uint32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr int kConsoleWidth = 1024;
constexpr int kConsoleHeight = 384;

std::string Utf8(uint32_t code) {
    std::string s;
    if (code < 0x80) {
        s += char(code);
    } else if (code < 0x800) {
        s += char(0xC0 | (code >> 6));
        s += char(0x80 | (code & 0x3F));
    } else {
        s += char(0xE0 | (code >> 12));
        s += char(0x80 | ((code >> 6) & 0x3F));
        s += char(0x80 | (code & 0x3F));
    }
    return s;
}

bool SliderTrack(const std::string& path) {
    // 64 high so that the groove's middle is where the knob's middle lands (half a knob
    // below the track's top, for a 32-pixel knob).
    Canvas canvas(256, 64, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    canvas.Shadow([](cairo_t* s) { RoundedRect(s, 2, 25, 252, 14, 7); }, 0, 2, 2, 0.6);
    cairo_save(cr);
    RoundedRect(cr, 2, 25, 252, 14, 7);
    cairo_clip(cr);
    FillWood(canvas, 0, 20, 256, 24, 0.5, 31u);
    cairo_restore(cr);
    RoundedRect(cr, 2, 25, 252, 14, 7);
    SetRgb(cr, kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 8, 30, 240, 4, 2);
    cairo_set_source_rgb(cr, 0.06, 0.04, 0.02);
    cairo_fill(cr);
    return SaveKeyedPng(path, canvas.ToImage());
}

bool SliderKnob(const std::string& path) {
    Canvas canvas(32, 32, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    cairo_arc(cr, 16, 16, 14, 0, 2 * M_PI);
    SetRadialGradient(cr, 11, 10, 1, 16, 16, 14, {{0.0, kGoldLight}, {0.6, kGold}, {1.0, kGoldDark}});
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.14, 0.03);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_arc(cr, 16, 16, 5, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.45, 0.28, 0.06);
    cairo_fill(cr);
    return SaveKeyedPng(path, canvas.ToImage());
}

bool ConsoleBackground(const std::string& path) {
    Canvas canvas(kConsoleWidth, kConsoleHeight, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    FillFelt(canvas, 0, 0, kConsoleWidth, kConsoleHeight, {0.035, 0.09, 0.06}, 41u);
    SetLinearGradient(cr, 0, 0, 0, kConsoleHeight, {{0.0, {0, 0, 0}, 0.5}, {1.0, {0, 0, 0}, 0.0}});
    cairo_paint(cr);
    TextStyle watermark{"DejaVu Serif", true, false, 64};
    PlainText(canvas, "VARNOX", watermark, kConsoleWidth - 30, kConsoleHeight - 40, Align::Right, kGold,
              0.10);
    // Gold edge along the bottom, where the console meets the game.
    cairo_rectangle(cr, 0, kConsoleHeight - 6, kConsoleWidth, 6);
    SetLinearGradient(cr, 0, kConsoleHeight - 6, 0, kConsoleHeight, {{0.0, kGoldLight}, {1.0, kGoldDark}});
    cairo_fill(cr);
    return WriteBytes(path, EncodeBmp24(canvas.ToImage()));
}

} // namespace

Image DrawAlphabet() {
    const int rows = kCellCount / kCellsPerRow;
    Canvas canvas(kCellsPerRow * kCellWidth, rows * kCellHeight, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 24); // an advance of 14.5 pixels fits the 16-pixel cell
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    const double baseline = (kCellHeight - (font.ascent + font.descent)) / 2 + font.ascent;
    for (int k = 0; k < kCellCount; ++k) {
        const int code = kFirstCode + k;
        const uint32_t unicode = code < 128 ? uint32_t(code) : kCp1252High[code - 128];
        if (unicode == 0 || code == 127) {
            continue; // no glyph: the cell stays black
        }
        const std::string glyph = Utf8(unicode);
        const double cx = (k % kCellsPerRow) * kCellWidth, cy = (k / kCellsPerRow) * kCellHeight;
        cairo_text_extents_t ext;
        cairo_text_extents(cr, glyph.c_str(), &ext);
        cairo_save(cr);
        cairo_rectangle(cr, cx, cy, kCellWidth, kCellHeight);
        cairo_clip(cr);
        cairo_move_to(cr, cx + (kCellWidth - ext.x_advance) / 2, cy + baseline);
        SetLinearGradient(
            cr, 0, cy + 4, 0, cy + kCellHeight - 4,
            {{0.0, {1.0, 0.98, 0.90}}, {1.0, {kGoldLight.r, kGoldLight.g * 0.92, kGoldLight.b * 0.7}}});
        cairo_show_text(cr, glyph.c_str());
        cairo_restore(cr);
    }
    // Glyphs on black: the console draws with black as its colour key, so faint edge pixels
    // become black instead of a near-black fringe.
    Image image = canvas.ToImage();
    for (uint32_t& p : image.pixels) {
        const uint32_t a = p >> 24;
        if (a < 40) {
            p = 0xFF000000u;
        } else {
            const auto dim = [a](uint32_t c) { return std::max(1u, c * a / 255); };
            p = 0xFF000000u | dim((p >> 16) & 0xFF) << 16 | dim((p >> 8) & 0xFF) << 8 | dim(p & 0xFF);
        }
    }
    return image;
}

bool GeneratePeriphery(const std::string& runDir) {
    const std::string pictures = GameFolder(runDir, game_folders::kPictures);
    const std::string slider = GameFolder(runDir, game_folders::kSlider);
    return SliderTrack(slider + asset_files::kSliderTrack) && SliderKnob(slider + asset_files::kSliderKnob) &&
           WriteBytes(runDir + "/Alfabeto/Expo_16x32_VARNOX.bmp", EncodeBmp32(DrawAlphabet())) &&
           ConsoleBackground(pictures + asset_files::kConsoleBackground);
}
