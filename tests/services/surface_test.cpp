// CPU drawing on pixel memory and surfaces, the device's rectangle clear and loading .bmp files.
#include "harness.h"
#include "bitmap_file.h"
#include "private_folder.h"

#include <functional>

namespace {

constexpr DWORD kUntouched = 0xDEADBEEF;
constexpr DWORD kColour = 0xFF12A0C4;

// Pixel memory of `rows` rows of `pitch` bytes, every DWORD kUntouched.
struct PixelMemory {
    PixelMemory(int pitchBytes, int rowCount)
        : pitch(pitchBytes), rows(rowCount), words(pitchBytes / 4 * rowCount, kUntouched) {}
    DWORD At(int x, int y) const { return words[static_cast<size_t>(y) * (pitch / 4) + x]; }
    size_t Changed() const {
        size_t count = 0;
        for (DWORD w : words) {
            count += w != kUntouched;
        }
        return count;
    }
    int pitch;
    int rows;
    std::vector<DWORD> words;
};

TEST(PixelMemoryTest, SetPixel32WritesOnlyInsideTheScreenByThePitch) {
    PixelMemory memory((1024 + 16) * 4, 768); // rows padded by 16 pixels
    SetPixel32(1023, 767, kColour, memory.pitch, memory.words.data());
    EXPECT_EQ(memory.At(1023, 767), kColour) << "the last pixel of the screen";
    SetPixel32(5, 2, kColour, memory.pitch, memory.words.data());
    EXPECT_EQ(memory.words[2 * 1040 + 5], kColour) << "rows are walked by the pitch, not the width";
    EXPECT_EQ(memory.Changed(), 2u);

    const POINT outside[] = {{1024, 0}, {0, 768}, {-1, 0}, {0, -1}, {1024, 767}, {1023, 768}};
    for (const POINT& p : outside) {
        SetPixel32(p.x, p.y, kColour, memory.pitch, memory.words.data());
    }
    EXPECT_EQ(memory.Changed(), 2u) << "nothing outside 1024 x 768";
}

TEST(PixelMemoryTest, SetPixel32NeverWritesPastTheEndOfARow) {
    PixelMemory memory(10 * 4, 768 + 1); // ten pixels a row and one guard row
    SetPixel32(10, 767, kColour, memory.pitch, memory.words.data());
    SetPixel32(600, 767, kColour, memory.pitch, memory.words.data());
    EXPECT_EQ(memory.Changed(), 0u);
    SetPixel32(9, 767, kColour, memory.pitch, memory.words.data());
    EXPECT_EQ(memory.At(9, 767), kColour);
    SetPixel32(0, 0, kColour, 0, memory.words.data());
    SetPixel32(0, 0, kColour, -40, memory.words.data());
    SetPixel32(0, 0, kColour, memory.pitch, nullptr);
    EXPECT_EQ(memory.Changed(), 1u);
}

TEST(PixelMemoryTest, FillRect32FillsColumnsLeftToRightOfRowsTopToBottomExclusive) {
    PixelMemory memory(12 * 4, 5); // a pitch wider than the filled area
    const RECT rect = {2, 1, 5, 3};
    FillRect32(&rect, kColour, memory.pitch, memory.words.data());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 2;
            EXPECT_EQ(memory.At(x, y), inside ? kColour : kUntouched) << x << "," << y;
        }
    }
    const RECT empty[] = {{4, 1, 4, 3}, {2, 3, 5, 3}, {5, 1, 2, 3}, {2, 3, 5, 1}};
    for (const RECT& r : empty) {
        FillRect32(&r, 0x1, memory.pitch, memory.words.data());
    }
    FillRect32(nullptr, 0x1, memory.pitch, memory.words.data());
    EXPECT_EQ(memory.Changed(), 6u) << "empty rectangles write nothing";
}

TEST(PixelMemoryTest, FillRect32IsCutToTheScreenAndTheRow) {
    const RECT huge = {-50, -20, 5000, 3000};
    PixelMemory wide((1024 + 8) * 4, 768 + 1);
    FillRect32(&huge, kColour, wide.pitch, wide.words.data());
    EXPECT_EQ(wide.Changed(), 1024u * 768u);
    EXPECT_EQ(wide.At(0, 0), kColour);
    EXPECT_EQ(wide.At(1023, 767), kColour);
    EXPECT_EQ(wide.At(1024, 0), kUntouched) << "the row's padding";
    EXPECT_EQ(wide.At(0, 768), kUntouched) << "the row below the screen";

    PixelMemory narrow(10 * 4, 768 + 1);
    FillRect32(&huge, kColour, narrow.pitch, narrow.words.data());
    EXPECT_EQ(narrow.Changed(), 10u * 768u);
    EXPECT_EQ(narrow.At(0, 768), kUntouched);
}

// Surfaces for the keyed copy, filled and read back through LockRect.
class SurfaceTest : public DeviceTest {
protected:
    IDirect3DSurface9* MakeSurface(UINT width, UINT height, D3DFORMAT format = D3DFMT_X8R8G8B8) {
        IDirect3DSurface9* surface = nullptr;
        EXPECT_EQ(g_pd3dDevice->CreateOffscreenPlainSurface(width, height, format, D3DPOOL_SYSTEMMEM,
                                                            &surface, nullptr),
                  D3D_OK);
        if (surface) {
            m_surfaces.push_back(surface);
        }
        return surface;
    }
    static void Fill(IDirect3DSurface9* surface, const std::function<DWORD(int, int)>& pixel) {
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y) {
            DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) {
                row[x] = pixel(x, y);
            }
        }
        surface->UnlockRect();
    }
    static BitmapPicture Read(IDirect3DSurface9* surface) {
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        BitmapPicture picture;
        D3DLOCKED_RECT locked;
        if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            ADD_FAILURE() << "the surface cannot be locked";
            return picture;
        }
        picture.width = desc.Width;
        picture.height = desc.Height;
        for (UINT y = 0; y < desc.Height; ++y) {
            const DWORD* row =
                reinterpret_cast<const DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            picture.pixels.insert(picture.pixels.end(), row, row + desc.Width);
        }
        surface->UnlockRect();
        return picture;
    }
    void TearDown() override {
        for (IDirect3DSurface9* surface : m_surfaces) {
            surface->Release();
        }
        DeviceTest::TearDown();
    }
    PrivateFolder m_folder;
    std::vector<IDirect3DSurface9*> m_surfaces;
};

// Distinct values everywhere, with the key and a transparent black sprinkled in.
DWORD SourcePattern(int x, int y) {
    if ((x + y) % 5 == 0) {
        return 0xFF000000;
    }
    if ((x + 2 * y) % 7 == 0) {
        return 0x00000000;
    }
    return 0xFF000000 | (y << 8) | (x + 1);
}

TEST_F(SurfaceTest, KeyedCopyLeavesKeyPixelsOutButWritesTransparentBlack) {
    // Odd widths, so rows may be padded: the copy walks both surfaces by their own pitch.
    IDirect3DSurface9* src = MakeSurface(13, 7);
    IDirect3DSurface9* dst = MakeSurface(21, 9);
    ASSERT_TRUE(src && dst);
    Fill(src, SourcePattern);
    Fill(dst, [](int, int) { return kUntouched; });

    ASSERT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, dst, 1, 0xFF000000), S_OK);
    const BitmapPicture keyed = Read(dst);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 21; ++x) {
            DWORD expected = kUntouched;
            if (x < 13 && y < 7 && SourcePattern(x, y) != 0xFF000000) {
                expected = SourcePattern(x, y);
            }
            ASSERT_EQ(keyed.At(x, y), expected) << x << "," << y;
        }
    }

    // With the key off every pixel of the whole source goes across, the key's value included.
    ASSERT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, dst, 0, 0xFF000000), S_OK);
    const BitmapPicture unkeyed = Read(dst);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            ASSERT_EQ(unkeyed.At(x, y), SourcePattern(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(unkeyed.At(13, 0), kUntouched);
    EXPECT_EQ(unkeyed.At(0, 7), kUntouched);
}

TEST_F(SurfaceTest, CopyTakesTheRectangleToThePoint) {
    IDirect3DSurface9* src = MakeSurface(16, 8);
    IDirect3DSurface9* dst = MakeSurface(16, 8);
    ASSERT_TRUE(src && dst);
    Fill(src, SourcePattern);

    Fill(dst, [](int, int) { return kUntouched; });
    const RECT corner = {0, 0, 10, 4};
    ASSERT_EQ(CopySurfaceKeyed(&corner, src, nullptr, dst, 0, 0), S_OK);
    BitmapPicture copied = Read(dst);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(copied.At(x, y), x < 10 && y < 4 ? SourcePattern(x, y) : kUntouched) << x << "," << y;
        }
    }

    Fill(dst, [](int, int) { return kUntouched; });
    const RECT block = {2, 1, 6, 3};
    const POINT at = {9, 5};
    ASSERT_EQ(CopySurfaceKeyed(&block, src, &at, dst, 0, 0), S_OK);
    copied = Read(dst);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 9 && x < 13 && y >= 5 && y < 7;
            ASSERT_EQ(copied.At(x, y), inside ? SourcePattern(x - 7, y - 4) : kUntouched) << x << "," << y;
        }
    }
}

TEST_F(SurfaceTest, CopyIsCutToWhatLiesInsideBothSurfaces) {
    IDirect3DSurface9* src = MakeSurface(8, 6);
    IDirect3DSurface9* dst = MakeSurface(10, 7);
    ASSERT_TRUE(src && dst);
    Fill(src, SourcePattern);

    struct Case {
        RECT rect;
        POINT at;
    };
    const Case cases[] = {
        {{-3, -2, 20, 20}, {0, 0}}, // larger than the source on every side
        {{0, 0, 8, 6}, {6, 4}},     // past the destination's right and bottom
        {{1, 1, 8, 6}, {-4, -3}},   // before the destination's left and top
        {{0, 0, 8, 6}, {50, 50}},   // wholly outside the destination
        {{6, 4, 2, 1}, {0, 0}},     // inverted: nothing
    };
    for (const Case& c : cases) {
        Fill(dst, [](int, int) { return kUntouched; });
        ASSERT_EQ(CopySurfaceKeyed(&c.rect, src, &c.at, dst, 0, 0), S_OK);
        const BitmapPicture copied = Read(dst);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 10; ++x) {
                // The source pixel that lands on (x, y), if there is one.
                const int sx = x - c.at.x + c.rect.left;
                const int sy = y - c.at.y + c.rect.top;
                const bool inside = sx >= std::max(0L, c.rect.left) && sx < std::min(8L, c.rect.right) &&
                                    sy >= std::max(0L, c.rect.top) && sy < std::min(6L, c.rect.bottom);
                ASSERT_EQ(copied.At(x, y), inside ? SourcePattern(sx, sy) : kUntouched)
                    << "rectangle (" << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
                    << c.rect.bottom << ") at (" << c.at.x << "," << c.at.y << "), pixel " << x << "," << y;
            }
        }
    }
}

TEST_F(SurfaceTest, CopyOntoTheBackBufferAsTheConsoleDoes) {
    IDirect3DSurface9* src = MakeSurface(64, 32);
    ASSERT_NE(src, nullptr);
    Fill(src, [](int x, int) { return x < 32 ? 0xFF0000FFu : 0xFF00FF00u; });
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    m_surfaces.push_back(back);
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);

    ASSERT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, back, 0, 0), S_OK);
    UINT width = 0;
    const std::vector<uint32_t> pixels = ReadBackBuffer(&width);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(PixelAt(pixels, width, 0, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(pixels, width, 63, 31), 0x00FF00u);
    EXPECT_EQ(PixelAt(pixels, width, 64, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(pixels, width, 0, 32), 0xFF0000u);
}

TEST_F(SurfaceTest, CopyFailuresLeaveNoLockHeld) {
    IDirect3DSurface9* src = MakeSurface(8, 8);
    IDirect3DSurface9* dst = MakeSurface(8, 8);
    ASSERT_TRUE(src && dst);
    EXPECT_EQ(CopySurfaceKeyed(nullptr, nullptr, nullptr, dst, 0, 0), E_FAIL);
    EXPECT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, nullptr, 0, 0), E_FAIL);

    // Pixels of another size would be walked as DWORDs past the end of their rows.
    IDirect3DSurface9* narrow = MakeSurface(8, 8, D3DFMT_R5G6B5);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, narrow, 0, 0), E_FAIL);
    EXPECT_EQ(CopySurfaceKeyed(nullptr, narrow, nullptr, dst, 0, 0), E_FAIL);

    // The destination cannot be locked while the copy holds it as the source; the source is given back.
    EXPECT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, src, 0, 0), E_FAIL);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(src->LockRect(&locked, nullptr, 0), D3D_OK) << "the source was left locked";
    src->UnlockRect();
    EXPECT_EQ(CopySurfaceKeyed(nullptr, src, nullptr, dst, 0, 0), S_OK);
}

TEST_F(SurfaceTest, ClearRectClearsOnlyTheRectangleOfTheTarget) {
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    const D3DRECT rect = {10, 20, 30, 40};
    ClearRect(&rect, 0xFFFF0000, g_pd3dDevice);
    ClearRect(&rect, 0xFF00FF00, nullptr);
    UINT width = 0;
    const std::vector<uint32_t> pixels = ReadBackBuffer(&width);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(PixelAt(pixels, width, 10, 20), 0xFF0000u);
    EXPECT_EQ(PixelAt(pixels, width, 29, 39), 0xFF0000u);
    EXPECT_EQ(PixelAt(pixels, width, 30, 20), 0x0000FFu);
    EXPECT_EQ(PixelAt(pixels, width, 10, 40), 0x0000FFu);
    EXPECT_EQ(PixelAt(pixels, width, 9, 19), 0x0000FFu);
}

TEST_F(SurfaceTest, LoadBitmapSurfaceHoldsTheFilePixelByPixel) {
    BitmapPicture picture;
    picture.width = 13; // 39 bytes a row in 24 bits: padded to 40 in the file
    picture.height = 7;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            picture.pixels.push_back(static_cast<uint32_t>((x * 19) << 16 | (y * 37) << 8 | (x * y + 3)));
        }
    }
    const struct {
        int bits;
        bool topDown;
    } files[] = {{24, false}, {32, true}};
    for (const auto& file : files) {
        const int bits = file.bits;
        WriteFileBytes("picture.bmp", EncodeBitmap(picture, bits, file.topDown));
        IDirect3DSurface9* surface = nullptr;
        ASSERT_EQ(LoadBitmapSurface("picture.bmp", &surface, g_pd3dDevice), S_OK) << bits << " bits";
        ASSERT_NE(surface, nullptr);
        m_surfaces.push_back(surface);
        D3DSURFACE_DESC desc;
        surface->GetDesc(&desc);
        EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
        const BitmapPicture loaded = Read(surface);
        ASSERT_EQ(loaded.width, 13);
        ASSERT_EQ(loaded.height, 7);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                ASSERT_EQ(loaded.At(x, y) & 0xFFFFFF, picture.At(x, y)) << bits << " bits, " << x << "," << y;
            }
        }
    }
    RemovePath("picture.bmp");
}

TEST_F(SurfaceTest, LoadBitmapSurfaceFailuresSayWhichStepFailed) {
    DebugOutputRecorder recorder;
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(LoadBitmapSurface("no such picture.bmp", &surface, g_pd3dDevice), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load bitmap"));
    EXPECT_EQ(surface, nullptr) << "no surface is made for a missing file";
    EXPECT_EQ(recorder.Outputs().size(), 3u);

    BitmapPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.pixels.assign(4, 0x336699);
    WriteFileBytes("picture.bmp", EncodeBitmap(picture, 24));
    recorder.Clear();
    EXPECT_EQ(LoadBitmapSurface("picture.bmp", &surface, nullptr), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to create surface for bitmap load"));
    EXPECT_EQ(surface, nullptr);

    // An RLE8 picture whose runs stop after the first, with no end: GDI reads it but D3DX refuses it, so
    // the surface exists by then and stays with the caller.
    std::string odd = EncodePaletteBitmap(4, 4, {0x000000, 0xFFFFFF}, std::vector<uint8_t>(16, 1), true);
    odd = odd.substr(0, GetLE(odd, 10, 4)) + std::string("\x04\x01", 2);
    odd = Patched(Patched(odd, 2, static_cast<uint32_t>(odd.size())), 34, 2); // file and pixel sizes
    WriteFileBytes("picture.bmp", odd);
    recorder.Clear();
    EXPECT_EQ(LoadBitmapSurface("picture.bmp", &surface, g_pd3dDevice), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load file to surface"));
    ASSERT_NE(surface, nullptr);
    m_surfaces.push_back(surface);
    RemovePath("picture.bmp");
}

} // namespace
