// The interface components' pictures by file name, as the asset generator writes them and the
// components load them: the slider's track and knob from Immagini/Slider, the console's background from
// Immagini. Plain C++ with no platform header, so the generator includes it too.
#pragma once

namespace asset_files {

constexpr char kSliderTrack[] = "barra.png";
constexpr char kSliderKnob[] = "slider.png";
constexpr char kConsoleBackground[] = "ConsoleBackground.bmp";

} // namespace asset_files
