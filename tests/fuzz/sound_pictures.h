// Small sound pictures for the fuzz target's seeds, beside the build's own: JPEG and PNG in several
// shapes from their own encoders (libjpeg, libpng), bitmaps and a TGA from the tests' writers. Native
// only.
#pragma once

#include <string>
#include <vector>

struct SoundPicture {
    std::string name;
    std::string bytes;
};

std::vector<SoundPicture> SoundPictures();
