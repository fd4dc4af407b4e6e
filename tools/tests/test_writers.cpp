// File writers: the header fields that LoadImageA, the icon resource compiler and the DDS
// volume loader depend on, and the colour-key preparation.
#include "check.h"
#include "image_io.h"

#include <cstdio>
#include <string>

namespace {

Image TwoByThree() {
    Image image(3, 2);
    image.At(0, 0) = 0xFF112233u; // top-left
    image.At(2, 1) = 0xFFAABBCCu; // bottom-right
    return image;
}

} // namespace

TEST_CASE(BmpHasPaddedBottomUpRowsAndConsistentSizes) {
    const std::vector<uint8_t> bmp = EncodeBmp24(TwoByThree());
    const uint32_t rowBytes = 12; // 3 pixels * 3 bytes = 9, padded to 12
    CHECK(bmp[0] == 'B' && bmp[1] == 'M');
    CHECK(ReadLe32(bmp, 2) == bmp.size());
    CHECK(ReadLe32(bmp, 10) == 54);
    CHECK(ReadLe32(bmp, 14) == 40);
    CHECK(ReadLe32(bmp, 18) == 3);
    CHECK(ReadLe32(bmp, 22) == 2); // positive height: bottom-up
    CHECK(ReadLe16(bmp, 28) == 24);
    CHECK(ReadLe32(bmp, 30) == 0); // uncompressed
    CHECK(bmp.size() == 54 + 2 * rowBytes);
    // First stored row is the bottom one; pixels are B, G, R.
    CHECK(bmp[54 + 6] == 0xCC && bmp[54 + 7] == 0xBB && bmp[54 + 8] == 0xAA);
    CHECK(bmp[54 + rowBytes] == 0x33 && bmp[54 + rowBytes + 1] == 0x22 && bmp[54 + rowBytes + 2] == 0x11);
}

TEST_CASE(IconHoldsOne24BitPictureWithMask) {
    Image image(32, 32, 0xFF336699u);
    image.At(0, 0) = 0x00000000u; // transparent corner
    const std::vector<uint8_t> ico = EncodeIco24(image);
    CHECK(ReadLe16(ico, 0) == 0 && ReadLe16(ico, 2) == 1 && ReadLe16(ico, 4) == 1);
    CHECK(ico[6] == 32 && ico[7] == 32);
    CHECK(ReadLe16(ico, 12) == 24);
    const uint32_t bytes = ReadLe32(ico, 14), offset = ReadLe32(ico, 18);
    CHECK(offset == 22);
    CHECK(offset + bytes == ico.size());
    CHECK(ReadLe32(ico, offset + 4) == 32);
    CHECK(ReadLe32(ico, offset + 8) == 64); // colour rows plus mask rows
    CHECK(ReadLe16(ico, offset + 14) == 24);
    CHECK(bytes == 40 + 32 * 32 * 3 + 32 * 4);
    // The top-left pixel is the first bit of the last mask row; the pixel next to it shows.
    const size_t lastMaskRow = ico.size() - 4;
    CHECK(ico[lastMaskRow] == 0x80);
    const size_t colour = offset + 40;
    CHECK(ico[colour] == 0x99 && ico[colour + 1] == 0x66 && ico[colour + 2] == 0x33);
}

TEST_CASE(DdsVolumeHeaderDeclaresDepthAndVolumeCaps) {
    std::vector<uint32_t> texels(4 * 2 * 3, 0x80FF4020u);
    const std::vector<uint8_t> dds = EncodeDdsVolume(4, 2, 3, texels);
    CHECK(dds[0] == 'D' && dds[1] == 'D' && dds[2] == 'S' && dds[3] == ' ');
    CHECK(ReadLe32(dds, 4) == 124);
    const uint32_t flags = ReadLe32(dds, 8);
    CHECK((flags & 0x800000u) != 0); // depth
    CHECK((flags & 0x1007u) == 0x1007u);
    CHECK(ReadLe32(dds, 12) == 2 && ReadLe32(dds, 16) == 4);
    CHECK(ReadLe32(dds, 20) == 16); // row pitch
    CHECK(ReadLe32(dds, 24) == 3);
    CHECK(ReadLe32(dds, 76) == 32);
    CHECK(ReadLe32(dds, 80) == 0x41u);
    CHECK(ReadLe32(dds, 88) == 32);
    CHECK(ReadLe32(dds, 92) == 0x00FF0000u && ReadLe32(dds, 104) == 0xFF000000u);
    CHECK((ReadLe32(dds, 108) & 0x1008u) == 0x1008u);
    CHECK(ReadLe32(dds, 112) == 0x200000u);
    CHECK(dds.size() == 128 + texels.size() * 4);
    CHECK(ReadLe32(dds, 128) == 0x80FF4020u);
}

TEST_CASE(ColourKeyTurnsOnlyTransparentPixelsIntoTheKey) {
    Image image(4, 1);
    image.At(0, 0) = 0x00FFFFFFu; // fully transparent, any colour
    image.At(1, 0) = 0xFF000000u; // visible pure black
    image.At(2, 0) = 0x80000000u; // half-transparent black
    image.At(3, 0) = 0xFF102030u;
    ApplyColourKey(image);
    CHECK(image.At(0, 0) == kColourKey);
    CHECK(image.At(1, 0) == kNearBlack);
    CHECK(image.At(2, 0) == 0x80010101u);
    CHECK(image.At(3, 0) == 0xFF102030u);
}

TEST_CASE(JpegForKeyedLoaderRejectsPureBlack) {
    const std::string dark = "assetgen_test_dark.jpg", lit = "assetgen_test_lit.jpg";
    Image black(16, 16, 0xFF000000u);
    CHECK(!SaveJpeg(dark, black, 90, true));
    CHECK(SaveJpeg(dark, black, 90, false));
    Image grey(16, 16, 0xFF303030u);
    CHECK(SaveJpeg(lit, grey, 90, true));
    Image back;
    CHECK(ReadJpeg(lit, back) && back.width == 16 && back.height == 16);
    remove(dark.c_str());
    remove(lit.c_str());
}

TEST_CASE(Bmp32KeepsBlackAtZeroInAllFourBytes) {
    Image image(2, 1);
    image.At(0, 0) = 0xFF000000u; // opaque black in the picture
    image.At(1, 0) = 0xFF405060u;
    const std::vector<uint8_t> bmp = EncodeBmp32(image);
    CHECK(ReadLe16(bmp, 28) == 32);
    CHECK(ReadLe32(bmp, 30) == 0);
    CHECK(ReadLe32(bmp, 2) == bmp.size() && bmp.size() == 54 + 8);
    CHECK(ReadLe32(bmp, 54) == 0x00000000u);
    CHECK(ReadLe32(bmp, 58) == 0x00405060u);
}
