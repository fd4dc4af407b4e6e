// The drawing helpers every picture shares: gradients reach each stop's colour and opacity where
// the stop lies, in the canvas's screen units.
#include "canvas.h"
#include "check.h"

namespace {

int Channel(uint32_t p, int shift) {
    return int((p >> shift) & 0xFF);
}

} // namespace

TEST_CASE(LinearGradientPassesThroughEachStop) {
    // A 64-texel strip drawn twice as wide covers 128 screen pixels: the stops lie at 0, 64 and 128.
    Canvas canvas(64, 4, 2.0, 1.0);
    cairo_t* cr = canvas.Cr();
    SetLinearGradient(cr, 0, 0, 128, 0, {{0.0, {1, 0, 0}}, {0.5, {0, 1, 0}}, {1.0, {0, 0, 1}, 0.5}});
    cairo_paint(cr);
    const Image image = canvas.ToImage();
    const uint32_t first = image.At(0, 2), middle = image.At(32, 2), last = image.At(63, 2);
    CHECK(Channel(first, 24) == 255 && Channel(first, 16) > 240 && Channel(first, 8) < 15);
    CHECK(Channel(middle, 24) > 245 && Channel(middle, 8) > 240 && Channel(middle, 16) < 15);
    // The last stop's opacity, and its colour under it.
    CHECK_NEAR(Channel(last, 24), 130, 6);
    CHECK(Channel(last, 0) > 240 && Channel(last, 16) < 15);
}

TEST_CASE(RadialGradientRunsFromInnerToOuterCircle) {
    Canvas canvas(32, 32, 1.0, 1.0);
    cairo_t* cr = canvas.Cr();
    SetRadialGradient(cr, 16, 16, 0, 16, 16, 16, {{0.0, {1, 1, 1}}, {1.0, {0, 0, 0}, 0.0}});
    cairo_paint(cr);
    const Image image = canvas.ToImage();
    CHECK(Channel(image.At(16, 16), 24) > 235 && Channel(image.At(16, 16), 8) > 235); // half a texel out
    CHECK_NEAR(Channel(image.At(24, 16), 24), 128, 12);                               // half way out
    CHECK(Channel(image.At(0, 0), 24) == 0); // beyond the outer circle: the last stop
}
