// The drawing surface and the shared visual theme.
#include "canvas.h"

#include "procedural.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <vector>

const Rgb kPegColours[5] = {
    {0.86, 0.10, 0.09}, // red
    {0.98, 0.82, 0.10}, // yellow
    {0.10, 0.66, 0.22}, // green
    {0.12, 0.34, 0.88}, // blue
    {0.58, 0.20, 0.78}, // violet
};

namespace {

// One horizontal box-blur pass over premultiplied pixels, with edge clamping.
void BlurRow(uint8_t* data, int count, int stride, int radius, std::vector<uint32_t>& sums) {
    const int window = 2 * radius + 1;
    sums.assign(size_t(count) * 4, 0);
    for (int c = 0; c < 4; ++c) {
        uint32_t acc = 0;
        for (int i = -radius; i <= radius; ++i) {
            acc += data[size_t(std::clamp(i, 0, count - 1)) * stride + c];
        }
        for (int i = 0; i < count; ++i) {
            sums[size_t(i) * 4 + c] = acc / window;
            acc += data[size_t(std::min(i + radius + 1, count - 1)) * stride + c];
            acc -= data[size_t(std::max(i - radius, 0)) * stride + c];
        }
    }
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 4; ++c) {
            data[size_t(i) * stride + c] = uint8_t(sums[size_t(i) * 4 + c]);
        }
    }
}

// Fills a screen rectangle texel by texel from a colour function of screen coordinates.
template <typename ColourAt>
void FillProcedural(Canvas& canvas, double x, double y, double w, double h, ColourAt colourAt) {
    const int tx0 = std::max(0, int(std::floor(x / canvas.ScaleX())));
    const int ty0 = std::max(0, int(std::floor(y / canvas.ScaleY())));
    const int tx1 = std::min(canvas.TexWidth(), int(std::ceil((x + w) / canvas.ScaleX())));
    const int ty1 = std::min(canvas.TexHeight(), int(std::ceil((y + h) / canvas.ScaleY())));
    if (tx1 <= tx0 || ty1 <= ty0) {
        return;
    }
    Image patch(tx1 - tx0, ty1 - ty0);
    for (int ty = ty0; ty < ty1; ++ty) {
        for (int tx = tx0; tx < tx1; ++tx) {
            patch.At(tx - tx0, ty - ty0) =
                colourAt((tx + 0.5) * canvas.ScaleX(), (ty + 0.5) * canvas.ScaleY());
        }
    }
    cairo_surface_t* s = SurfaceFromImage(patch);
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, s, tx0, ty0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

void SelectFont(cairo_t* cr, const TextStyle& style) {
    cairo_select_font_face(cr, style.family, style.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.size);
}

// Gives the pattern its stops and makes it the source; the context keeps its own reference.
void SetGradient(cairo_t* cr, cairo_pattern_t* pattern, std::initializer_list<ColourStop> stops) {
    for (const ColourStop& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.colour.r, stop.colour.g, stop.colour.b,
                                          stop.alpha);
    }
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

double AlignedX(cairo_t* cr, const char* utf8, double x, Align align) {
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8, &ext);
    switch (align) {
    case Align::Left:
        return x;
    case Align::Centre:
        return x - ext.x_advance / 2.0;
    case Align::Right:
        return x - ext.x_advance;
    }
    return x;
}

} // namespace

cairo_surface_t* SurfaceFromImage(const Image& image) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            const uint32_t a = p >> 24;
            const auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = a << 24 | pm((p >> 16) & 0xFF) << 16 | pm((p >> 8) & 0xFF) << 8 | pm(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

Canvas::Canvas(int texW, int texH, double sx, double sy)
    : texW_(texW), texH_(texH), sx_(sx), sy_(sy),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, texW, texH)), cr_(cairo_create(surface_)) {
    cairo_scale(cr_, 1.0 / sx, 1.0 / sy);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::Shadow(const std::function<void(cairo_t*)>& shape, double dx, double dy, double blurPx,
                    double alpha, double r, double g, double b) {
    const int rx = std::max(1, int(blurPx / sx_ + 0.5)), ry = std::max(1, int(blurPx / sy_ + 0.5));
    // Work only on the shape's box (in texels), padded by the blur's reach.
    cairo_new_path(cr_);
    cairo_save(cr_);
    cairo_translate(cr_, dx, dy);
    shape(cr_);
    cairo_restore(cr_);
    double x0, y0, x1, y1;
    cairo_fill_extents(cr_, &x0, &y0, &x1, &y1);
    cairo_new_path(cr_);
    cairo_user_to_device(cr_, &x0, &y0);
    cairo_user_to_device(cr_, &x1, &y1);
    const int left = std::max(0, int(std::floor(x0)) - 3 * rx - 1);
    const int top = std::max(0, int(std::floor(y0)) - 3 * ry - 1);
    const int right = std::min(texW_, int(std::ceil(x1)) + 3 * rx + 1);
    const int bottom = std::min(texH_, int(std::ceil(y1)) + 3 * ry + 1);
    if (right <= left || bottom <= top) {
        return;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, right - left, bottom - top);
    cairo_t* cr = cairo_create(s);
    cairo_translate(cr, -left, -top);
    cairo_scale(cr, 1.0 / sx_, 1.0 / sy_);
    cairo_translate(cr, dx, dy);
    shape(cr);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill(cr);
    cairo_destroy(cr);
    BoxBlur(s, rx, ry);
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_set_source_surface(cr_, s, left, top);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

void Canvas::PaintTexels(const Image& image) {
    cairo_surface_t* s = SurfaceFromImage(image);
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

Image Canvas::ToImage() const {
    cairo_surface_flush(surface_);
    Image image(texW_, texH_);
    const uint8_t* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < texH_; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < texW_; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            if (a == 0) {
                image.At(x, y) = 0;
                continue;
            }
            const auto un = [a](uint32_t c) { return std::min(255u, (c * 255 + a / 2) / a); };
            image.At(x, y) = a << 24 | un((p >> 16) & 0xFF) << 16 | un((p >> 8) & 0xFF) << 8 | un(p & 0xFF);
        }
    }
    return image;
}

void SetRgb(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void SetLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
                       std::initializer_list<ColourStop> stops) {
    SetGradient(cr, cairo_pattern_create_linear(x0, y0, x1, y1), stops);
}

void SetRadialGradient(cairo_t* cr, double x0, double y0, double r0, double x1, double y1, double r1,
                       std::initializer_list<ColourStop> stops) {
    SetGradient(cr, cairo_pattern_create_radial(x0, y0, r0, x1, y1, r1), stops);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2.0);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void BoxBlur(cairo_surface_t* surface, int radiusX, int radiusY) {
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint32_t> sums;
    // Three box passes approximate a Gaussian.
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            BlurRow(data + size_t(y) * stride, w, 4, radiusX, sums);
        }
        for (int x = 0; x < w; ++x) {
            BlurRow(data + size_t(x) * 4, h, stride, radiusY, sums);
        }
    }
    cairo_surface_mark_dirty(surface);
}

void FillFelt(Canvas& canvas, double x, double y, double w, double h, Rgb base, unsigned seed) {
    FillProcedural(canvas, x, y, w, h,
                   [&](double sx, double sy) { return FeltColour(sx, sy, base.r, base.g, base.b, seed); });
}

void FillWood(Canvas& canvas, double x, double y, double w, double h, double darkness, unsigned seed) {
    FillProcedural(canvas, x, y, w, h,
                   [&](double sx, double sy) { return WoodColour(sx, sy, darkness, seed); });
}

void Vignette(Canvas& canvas, double strength) {
    cairo_t* cr = canvas.Cr();
    const double w = canvas.ScreenWidth(), h = canvas.ScreenHeight();
    cairo_save(cr);
    // A circular gradient stretched to the picture's proportions.
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, w / 2, h / 2);
    SetRadialGradient(cr, 0, 0, 0.35, 0, 0, 1.45, {{0.0, {0, 0, 0}, 0.0}, {1.0, {0, 0, 0}, strength}});
    cairo_paint(cr);
    cairo_restore(cr);
}

void WoodFrame(Canvas& canvas, double x, double y, double w, double h, double thickness, double radius) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, radius);
    RoundedRect(cr, x + thickness, y + thickness, w - 2 * thickness, h - 2 * thickness, radius * 0.5);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    // Only the four strips under the frame need wood.
    FillWood(canvas, x, y, w, thickness, 0.35, 11u);
    FillWood(canvas, x, y + h - thickness, w, thickness, 0.35, 11u);
    FillWood(canvas, x, y + thickness, thickness, h - 2 * thickness, 0.35, 11u);
    FillWood(canvas, x + w - thickness, y + thickness, thickness, h - 2 * thickness, 0.35, 11u);
    // Bevel: light on the outer top edge, dark towards the inside.
    SetLinearGradient(cr, 0, y, 0, y + h,
                      {{0.0, {1, 0.9, 0.7}, 0.18}, {0.5, {0, 0, 0}, 0.0}, {1.0, {0, 0, 0}, 0.35}});
    cairo_paint(cr);
    cairo_restore(cr);

    cairo_save(cr);
    const double inset = thickness - 6;
    RoundedRect(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, radius * 0.6);
    SetRgb(cr, kGold);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    RoundedRect(cr, x + thickness, y + thickness, w - 2 * thickness, h - 2 * thickness, radius * 0.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

double TextWidth(cairo_t* cr, const char* utf8, const TextStyle& style) {
    cairo_save(cr);
    SelectFont(cr, style);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8, &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

void GoldText(Canvas& canvas, const char* utf8, const TextStyle& style, double x, double y, Align align) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    SelectFont(cr, style);
    const double left = AlignedX(cr, utf8, x, align);
    const double outline = std::max(1.2, style.size * 0.045);
    canvas.Shadow(
        [&](cairo_t* s) {
            SelectFont(s, style);
            cairo_move_to(s, left, y);
            cairo_text_path(s, utf8);
        },
        style.size * 0.04, style.size * 0.07, style.size * 0.08, 0.75);
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, utf8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 0.20, 0.11, 0.02);
    cairo_set_line_width(cr, outline * 2.0);
    cairo_stroke_preserve(cr);
    SetLinearGradient(cr, 0, y - style.size * 0.78, 0, y + style.size * 0.1,
                      {{0.0, kGoldLight},
                       {0.45, kGold},
                       {0.55, {0.78, 0.55, 0.16}},
                       {1.0, {kGoldLight.r * 0.95, kGoldLight.g * 0.85, kGoldLight.b * 0.6}}});
    cairo_fill(cr);
    cairo_restore(cr);
}

void PlainText(Canvas& canvas, const char* utf8, const TextStyle& style, double x, double y, Align align,
               Rgb colour, double alpha) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    SelectFont(cr, style);
    cairo_move_to(cr, AlignedX(cr, utf8, x, align), y);
    SetRgb(cr, colour, alpha);
    cairo_show_text(cr, utf8);
    cairo_restore(cr);
}

void GlossyBall(Canvas& canvas, double cx, double cy, double radius, Rgb c) {
    cairo_t* cr = canvas.Cr();
    canvas.Shadow([&](cairo_t* s) { cairo_arc(s, cx, cy, radius, 0, 2 * M_PI); }, radius * 0.18, radius * 0.3,
                  radius * 0.25, 0.6);
    cairo_save(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    SetRadialGradient(
        cr, cx - radius * 0.35, cy - radius * 0.4, radius * 0.05, cx, cy, radius,
        {{0.0, {std::min(1.0, c.r + 0.45), std::min(1.0, c.g + 0.45), std::min(1.0, c.b + 0.45)}},
         {0.45, c},
         {1.0, {c.r * 0.35, c.g * 0.35, c.b * 0.35}}});
    cairo_fill(cr);
    // Specular spot.
    cairo_arc(cr, cx - radius * 0.35, cy - radius * 0.42, radius * 0.28, 0, 2 * M_PI);
    SetRadialGradient(cr, cx - radius * 0.35, cy - radius * 0.42, 0, cx - radius * 0.35, cy - radius * 0.42,
                      radius * 0.28, {{0.0, {1, 1, 1}, 0.85}, {1.0, {1, 1, 1}, 0.0}});
    cairo_fill(cr);
    cairo_restore(cr);
}

void Plaque(Canvas& canvas, double x, double y, double w, double h, const char* label, double textSize,
            bool lit) {
    cairo_t* cr = canvas.Cr();
    const double r = std::min(h * 0.3, 18.0);
    cairo_save(cr);
    if (lit) {
        canvas.Shadow([&](cairo_t* s) { RoundedRect(s, x, y, w, h, r); }, 0, 0, 6, 0.9, 1.0, 0.85, 0.4);
    } else {
        canvas.Shadow([&](cairo_t* s) { RoundedRect(s, x, y, w, h, r); }, 0, 2, 3, 0.6);
    }
    // Gold rim.
    RoundedRect(cr, x, y, w, h, r);
    SetLinearGradient(cr, 0, y, 0, y + h, {{0.0, kGoldLight}, {0.5, kGold}, {1.0, kGoldDark}});
    cairo_fill(cr);
    // Face: deep green when idle, warm gold when highlighted.
    const double inset = std::max(3.0, h * 0.07);
    RoundedRect(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, r - inset * 0.6);
    if (lit) {
        SetLinearGradient(cr, 0, y + inset, 0, y + h - inset,
                          {{0.0, {1.0, 0.92, 0.60}}, {0.5, {0.93, 0.70, 0.26}}, {1.0, {0.70, 0.45, 0.12}}});
    } else {
        SetLinearGradient(cr, 0, y + inset, 0, y + h - inset,
                          {{0.0, {0.12, 0.40, 0.24}}, {0.5, {0.06, 0.26, 0.15}}, {1.0, {0.03, 0.15, 0.08}}});
    }
    cairo_fill(cr);
    // Glassy highlight over the upper half.
    RoundedRect(cr, x + inset * 1.6, y + inset * 1.3, w - inset * 3.2, (h - 2 * inset) * 0.42, r * 0.6);
    SetLinearGradient(cr, 0, y, 0, y + h * 0.5, {{0.0, {1, 1, 1}, lit ? 0.45 : 0.22}, {1.0, {1, 1, 1}, 0.0}});
    cairo_fill(cr);
    cairo_restore(cr);

    if (label[0] == '\0') {
        return;
    }
    TextStyle style{"DejaVu Sans", true, false, textSize};
    const double baseline = y + h / 2 + textSize * 0.36;
    if (lit) {
        PlainText(canvas, label, style, x + w / 2 + 1, baseline + 1.5, Align::Centre, {1, 0.95, 0.75}, 0.6);
        PlainText(canvas, label, style, x + w / 2, baseline, Align::Centre, {0.22, 0.09, 0.02});
    } else {
        GoldText(canvas, label, style, x + w / 2, baseline, Align::Centre);
    }
}

bool CheckFonts() {
    static const char* const kFamilies[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono",
                                            "DejaVu Sans Condensed"};
    if (!FcInit()) {
        fprintf(stderr, "assetgen: fontconfig cannot start\n");
        return false;
    }
    bool ok = true;
    for (const char* family : kFamilies) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        bool found = false;
        FcChar8* name = nullptr;
        for (int i = 0; match && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            found = found || FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0;
        }
        if (!found) {
            fprintf(stderr, "assetgen: font \"%s\" is not installed (Debian package fonts-dejavu-core)\n",
                    family);
            ok = false;
        }
        if (match) {
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    return ok;
}
