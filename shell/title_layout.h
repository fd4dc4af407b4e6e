// The start-up screens' layout: the sprite scaling of the full-screen pictures (logo, loading, title)
// and the title's two buttons. Plain C++ with no platform header: the asset generator includes it too,
// so the title picture keeps the buttons' band free and the button plates fill their hit boxes.
#pragma once

#include "ui/button_layout.h"

namespace layout {

// A 2048 x 1024 picture under this scaling covers the screen exactly.
constexpr float kSplashScaleX = 0.5f;
constexpr float kSplashScaleY = 0.75f;

constexpr ButtonPlace kStartButton = {50, 50, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kTitleExitButton = {50, 70, 0.0f, 0.5f, 0.7f};

} // namespace layout
