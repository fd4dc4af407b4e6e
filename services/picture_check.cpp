// The picture check run before a file reaches LoadImageA or D3DX. Those loaders tell a picture by its
// content, not its name, and trust its headers: GDI reads a bitmap's palette and pixels wherever the
// headers say, past the end of the file if need be, and the decoders multiply the stated sizes in 32
// bits or loop over them. Each format's walker (services/picture_formats.h) holds the headers against
// the file and the bounds, all sums in 64 bits, reading them as the decoder will; layouts the decoders
// were measured to mishandle are refused. Content of any other format is refused whole: the loaders
// read none, and some decoders read it all before they say so (every frame of a GIF, for minutes).
#include "services/picture_check.h"
#include "services/picture_formats.h"

namespace {

struct PictureFormat {
    bool (*startsAs)(const unsigned char* bytes, uint64_t size);
    bool (*isSound)(const unsigned char* bytes, uint64_t size);
};

// In the order the first bytes are told apart; no file starts as two of them.
constexpr PictureFormat kReadFormats[] = {
    {picture_formats::StartsAsBitmap, picture_formats::BitmapIsSound},
    {picture_formats::StartsAsJpeg, picture_formats::JpegIsSound},
    {picture_formats::StartsAsPng, picture_formats::PngIsSound},
    {picture_formats::StartsAsDds, picture_formats::DdsIsSound},
    {picture_formats::StartsAsHeaderlessBitmap, picture_formats::HeaderlessBitmapIsSound},
    {picture_formats::StartsAsTga, picture_formats::TgaIsSound},
};

} // namespace

bool PictureIsSpoiled(const unsigned char* bytes, uint64_t size) {
    if (size == 0) {
        return false;
    }
    for (const PictureFormat& format : kReadFormats) {
        if (format.startsAs(bytes, size)) {
            return !format.isSound(bytes, size);
        }
    }
    return true;
}
