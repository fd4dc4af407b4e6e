// The play screen's layout in one place: where the pegs stand on the board, where the camera looks
// from, and where the background, buttons and texts go on the screen. The game and the asset generator
// both include it, so the pictures are drawn where the game draws and clicks. Plain C++ with no platform
// header; the screen's size is in services/screen_layout.h.
#pragma once

#include "services/screen_layout.h"
#include "ui/button_layout.h"

namespace layout {

// ---- The board (world units) ----
constexpr int kSlots = 5;
constexpr int kRows = 19;
constexpr float kSlotX[kSlots] = {6.0f, 3.0f, 0.0f, -3.0f, -6.0f};
// Row 0, nearest the player, first; the steps between rows are uneven and used exactly as they are.
constexpr float kRowZ[kRows] = {0.0f,   -1.85f, -3.7f,  -5.55f, -7.35f, -9.0f,  -10.8f,
                                -12.4f, -14.0f, -15.8f, -17.4f, -19.2f, -21.1f, -22.7f,
                                -24.5f, -26.5f, -28.2f, -29.8f, -31.3f};

// The camera's place; it looks at the board frame, which stays at the origin.
constexpr float kCameraEye[3] = {0.0f, 25.0f, 35.0f};

// ---- Pictures on the screen ----
// The background picture's side (it is square), and the sprite scaling under which it covers the screen.
constexpr int kBackgroundPictureSide = 1024;
constexpr float kBackgroundScaleX = static_cast<float>(kScreenWidth) / kBackgroundPictureSide;
constexpr float kBackgroundScaleY = static_cast<float>(kScreenHeight) / kBackgroundPictureSide;

constexpr ButtonPlace kColourButtons[kSlots] = {
    {2, 10, 0.0f, 0.5f, 0.7f}, {2, 30, 0.0f, 0.5f, 0.7f}, {2, 50, 0.0f, 0.5f, 0.7f},
    {2, 70, 0.0f, 0.5f, 0.7f}, {2, 90, 0.0f, 0.5f, 0.7f},
};
constexpr ButtonPlace kExactLabel = {150, 0, 0.0f, 0.5f, 0.5f};
constexpr ButtonPlace kColourLabel = {150, 0, 0.292f, 0.5f, 0.5f};
constexpr ButtonPlace kHelpButton = {170, 120, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kInstructions = {50, 30, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kSolutionPanel = {50, 30, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kNewGameButton = {70, 80, 0.0f, 0.5f, 0.7f};
constexpr ButtonPlace kGameExitButton = {110, 80, 0.0f, 0.5f, 0.7f};

// ---- Texts the game writes (screen pixels) ----
// The status line at (width * 0.01, height * 0.01); the counts at x = width * 88 / 100, the exact count
// at y = height * 7 / 100 and the colour count at height * 22 / 100; the solution at
// (width * 0.31, height * 0.35).
constexpr float kStatusX = 0.01f, kStatusY = 0.01f;
constexpr int kCountXPercent = 88;
constexpr int kExactCountYPercent = 7;
constexpr int kColourCountYPercent = 22;
constexpr float kSolutionX = 0.31f, kSolutionY = 0.35f;

} // namespace layout
