// Small sound pictures for the fuzz targets' seeds, beside the build's own: JPEG in several shapes from
// libjpeg; PNG, bitmaps and a TGA from the tests' writers. Native only.
#pragma once

#include <string>
#include <vector>

struct SoundPicture {
    std::string name;
    std::string bytes;
};

std::vector<SoundPicture> SoundPictures();
