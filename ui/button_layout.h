// Where a picture button stands on the screen and where it answers the mouse. Plain C++ with no
// platform header: the asset generator includes it too, so the pictures' plates fill the hit boxes.
#pragma once

#include "services/screen_layout.h"

namespace layout {

// A picture at x = width * xPercent / 100 and y = height * yPercent / 100 (or height * yFactor when
// that is set), drawn with the sprite scaling (scaleX, scaleY), which scales the position too.
struct ButtonPlace {
    int xPercent;
    int yPercent;
    float yFactor;
    float scaleX, scaleY;
};

// Unscaled position, in whole pixels where the percentages give them.
constexpr int PlaceX(const ButtonPlace& place, int width = kScreenWidth) {
    return width * place.xPercent / 100;
}
constexpr float PlaceY(const ButtonPlace& place, int height = kScreenHeight) {
    return place.yFactor != 0.0f ? static_cast<float>(height) * place.yFactor
                                 : static_cast<float>(height * place.yPercent / 100);
}

// The hit box of a button at (x, y) whose picture is W x H pixels: x * scaleX < mx < x + W and
// y * kButtonHitTop < my < (y + H) * kButtonHitBottom. In double for the generator, which places the
// plates in double; the button compares in float.
constexpr double kButtonHitTop = 0.72;
constexpr double kButtonHitBottom = 0.7;

} // namespace layout
