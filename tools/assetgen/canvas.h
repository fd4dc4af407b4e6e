// Cairo drawing surface sized for a texture but addressed in screen pixels, plus the
// shared look of the game's pictures (wood, felt, gold lettering, soft shadows).
#pragma once

#include "image_io.h"

#include <cairo.h>

#include <functional>
#include <initializer_list>

// A texture of texW x texH texels that the game draws with a sprite scaling (sx, sy), so that
// it covers texW*sx x texH*sy screen pixels. Drawing coordinates are screen pixels: the
// picture is pre-stretched so that it looks right after the anisotropic scaling.
class Canvas {
public:
    Canvas(int texW, int texH, double sx, double sy);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Cr() const { return cr_; }
    double ScreenWidth() const { return texW_ * sx_; }
    double ScreenHeight() const { return texH_ * sy_; }
    double ScaleX() const { return sx_; }
    double ScaleY() const { return sy_; }
    int TexWidth() const { return texW_; }
    int TexHeight() const { return texH_; }

    // Draws a soft shadow (or, in a light colour, a glow) of whatever `shape` fills, offset by
    // (dx, dy) screen pixels.
    void Shadow(const std::function<void(cairo_t*)>& shape, double dx, double dy, double blurPx, double alpha,
                double r = 0.0, double g = 0.0, double b = 0.0);
    // Paints a picture of exactly the texture's size over the whole canvas.
    void PaintTexels(const Image& image);
    Image ToImage() const;

private:
    int texW_;
    int texH_;
    double sx_;
    double sy_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

struct Rgb {
    double r, g, b;
};

// Theme colours.
constexpr Rgb kGoldLight{1.0, 0.93, 0.62};
constexpr Rgb kGold{0.86, 0.66, 0.24};
constexpr Rgb kGoldDark{0.50, 0.33, 0.07};
constexpr Rgb kFelt{0.07, 0.30, 0.17};
constexpr Rgb kFeltDark{0.02, 0.12, 0.07};
constexpr Rgb kCream{0.97, 0.93, 0.82};
constexpr Rgb kInk{0.06, 0.05, 0.04};

// The five game colours, index = the game's colour index (red, yellow, green, blue, violet).
extern const Rgb kPegColours[5];

enum class Align { Left, Centre, Right };

// Whether the DejaVu families the pictures use are installed; names the missing ones.
bool CheckFonts();

// A new premultiplied Cairo surface holding the picture; the caller destroys it.
cairo_surface_t* SurfaceFromImage(const Image& image);

void SetRgb(cairo_t* cr, Rgb c, double alpha = 1.0);

// A gradient's colour at `offset`, from 0 at its start to 1 at its end.
struct ColourStop {
    double offset;
    Rgb colour;
    double alpha = 1.0;
};
// Gradients as the source of what is drawn next, as SetRgb sets a plain colour: the linear one from
// (x0, y0) to (x1, y1), the radial one from the circle (x0, y0, r0) to (x1, y1, r1), in user units at
// the time of the call.
void SetLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
                       std::initializer_list<ColourStop> stops);
void SetRadialGradient(cairo_t* cr, double x0, double y0, double r0, double x1, double y1, double r1,
                       std::initializer_list<ColourStop> stops);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void BoxBlur(cairo_surface_t* surface, int radiusX, int radiusY);

// Felt and wood fills of a rectangle, in the canvas's screen units.
void FillFelt(Canvas& canvas, double x, double y, double w, double h, Rgb base, unsigned seed);
void FillWood(Canvas& canvas, double x, double y, double w, double h, double darkness, unsigned seed);
void Vignette(Canvas& canvas, double strength);

// A wooden frame of the given thickness around the rectangle, with a gold inner line.
void WoodFrame(Canvas& canvas, double x, double y, double w, double h, double thickness, double radius);

struct TextStyle {
    const char* family = "DejaVu Serif";
    bool bold = true;
    bool italic = false;
    double size = 32.0;
};

// Gold lettering with a dark outline and a soft drop shadow; y is the baseline.
void GoldText(Canvas& canvas, const char* utf8, const TextStyle& style, double x, double y, Align align);
// Plain lettering; y is the baseline.
void PlainText(Canvas& canvas, const char* utf8, const TextStyle& style, double x, double y, Align align,
               Rgb colour, double alpha = 1.0);
double TextWidth(cairo_t* cr, const char* utf8, const TextStyle& style);

// A rounded button plate with a centred label; `lit` is the highlighted (hover) look.
void Plaque(Canvas& canvas, double x, double y, double w, double h, const char* label, double textSize,
            bool lit);

// A glossy ball in a game colour, lit from the upper left.
void GlossyBall(Canvas& canvas, double cx, double cy, double radius, Rgb colour);
