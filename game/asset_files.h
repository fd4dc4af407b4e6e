// The play screen's files by name, as the asset generator writes them and the game loads them: the
// board and peg meshes and the peg textures from Data, the background from Immagini and the other
// pictures from Immagini/GUI. Plain C++ with no platform header, so the generator includes it too.
#pragma once

namespace asset_files {

constexpr char kBoardMesh[] = "quorvantis.x";
constexpr char kPegMesh[] = "pedino.x";
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

} // namespace asset_files
