// The start-up screens' pictures by file name, as the asset generator writes them and the shell loads
// them: the logo, loading and title pictures from Immagini, the title's buttons from Immagini/Button.
// Plain C++ with no platform header, so the generator includes it too.
#pragma once

namespace asset_files {

constexpr char kLogo[] = "VARNOX_LOGO.jpg";
constexpr char kLoading[] = "Loading.jpg";
constexpr char kTitle[] = "Title.jpg";
// Each button's picture, and the one it shows while the mouse is over it.
constexpr char kStartButton[] = "startGame.png";
constexpr char kStartButtonOver[] = "startGameOn.png";
constexpr char kTitleExitButton[] = "exitGame.png";
constexpr char kTitleExitButtonOver[] = "exitGameOn.png";

} // namespace asset_files
