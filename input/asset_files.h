// The cursor's picture by file name, as the asset generator writes it and the mouse loads it from
// Immagini/Mouse. Plain C++ with no platform header, so the generator includes it too.
#pragma once

namespace asset_files {

constexpr char kCursor[] = "cursore.bmp";

} // namespace asset_files
