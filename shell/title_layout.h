// The start-up screens' layout: the size and sprite scaling of the full-screen pictures (logo, loading,
// title) and the title's two buttons. Plain C++ with no platform header: the asset generator includes it too,
// so the title picture keeps the buttons' band free and the button plates fill their hit boxes.
#pragma once

#include "services/screen_layout.h"
#include "ui/button_layout.h"

namespace layout {

// The full-screen pictures' size, and the sprite scaling under which they cover the screen exactly.
constexpr int kSplashPictureWidth = 2048;
constexpr int kSplashPictureHeight = 1024;
constexpr float kSplashScaleX = static_cast<float>(kScreenWidth) / kSplashPictureWidth;
constexpr float kSplashScaleY = static_cast<float>(kScreenHeight) / kSplashPictureHeight;

constexpr ButtonPlace kStartButton = {50, 50, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kTitleExitButton = {50, 70, 0.0f, 0.5f, 0.7f};

} // namespace layout
