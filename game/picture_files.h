// The play screen's pictures by file name, as the asset generator writes them and the game loads them:
// the background from Immagini, the peg textures from Data and the rest from Immagini/GUI. Plain C++
// with no platform header, so the generator includes it too.
#pragma once

namespace picture_files {

constexpr char kBackground[] = "quorvantis_back.png";
// Indexed by colour: red, yellow, green, blue, violet.
constexpr const char* kPegTextures[] = {"Red.png", "Giallo.png", "Green.png", "Blue.png", "Viola.png"};
constexpr const char* kColourButtons[] = {"red_butt.jpg", "giallo_butt.jpg", "verde_butt.jpg",
                                          "blue_butt.jpg", "viola_butt.jpg"};
constexpr char kExactLabel[] = "button_esatti.jpg";
constexpr char kColourLabel[] = "button_colore.jpg";
constexpr char kHelpButton[] = "HELP.jpg";
constexpr char kInstructions[] = "ISTRUZIONI.png";
constexpr char kSolutionPanel[] = "SOLUZIONE.jpg";
constexpr char kNewGameButton[] = "restart_butt.png";
constexpr char kGameExitButton[] = "exit_butt.png";

} // namespace picture_files
