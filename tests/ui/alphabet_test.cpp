// The alphabet bitmap font: loading the game's bitmap, and characters copied from its cells into
// locked pixel memory with and without the colour key.
#include "harness.h"

#include "ui/alphabet.h"

#include <algorithm>

namespace {

const char kAlphabetPath[] = "..\\Alfabeto\\Expo_16x32_VARNOX.bmp";
constexpr DWORD kUntouched = 0xDEADBEEF;
constexpr size_t kCellPixels = 16 * 32;

// Destination memory of padded rows, every pixel kUntouched.
struct Canvas {
    static constexpr int kWidth = 80;
    static constexpr int kPitch = (kWidth + 8) * 4;
    static constexpr int kRows = 70; // room for a 64-pixel cell
    DWORD At(int x, int y) const { return words[static_cast<size_t>(y) * (kPitch / 4) + x]; }
    bool Untouched() const {
        for (DWORD w : words) {
            if (w != kUntouched) {
                return false;
            }
        }
        return true;
    }
    std::vector<DWORD> words = std::vector<DWORD>(kPitch / 4 * kRows, kUntouched);
};

class AlphabetTest : public DeviceTest {
protected:
    void TearDown() override {
        ReleaseAlphabet();
        DeviceTest::TearDown();
    }

    // The 16 x 32 cell of the loaded bitmap whose top-left pixel is (left, top), row by row. A lock
    // that fails is a test failure and gives an empty cell: callers assert the size before reading it.
    static std::vector<DWORD> Cell(int left, int top) {
        std::vector<DWORD> cell;
        D3DLOCKED_RECT locked;
        const HRESULT hr = g_pAlphabetSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        if (FAILED(hr)) {
            ADD_FAILURE() << "the alphabet surface cannot be locked: 0x" << std::hex << hr;
            return cell;
        }
        for (int y = 0; y < 32; ++y) {
            const DWORD* row = static_cast<const DWORD*>(locked.pBits) + (top + y) * (locked.Pitch / 4);
            cell.insert(cell.end(), row + left, row + left + 16);
        }
        g_pAlphabetSurface->UnlockRect();
        return cell;
    }

    Canvas m_canvas;
};

TEST_F(AlphabetTest, LoadsTheGameBitmapInThirtyTwoCellsARow) {
    DebugOutputRecorder recorder;
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    EXPECT_EQ(g_AlphabetWidth, 512);
    EXPECT_EQ(g_AlphabetHeight, 128);
    EXPECT_EQ(g_AlphabetCellWidth, 16);
    EXPECT_EQ(g_AlphabetCellHeight, 32);
    EXPECT_EQ(g_AlphabetCellsPerRow, 32);
    EXPECT_EQ(g_bAlphabetLoaded, 1);
    EXPECT_TRUE(recorder.Outputs().empty());

    // Bad arguments fail quietly and leave the loaded alphabet alone.
    IDirect3DSurface9* const loaded = g_pAlphabetSurface;
    EXPECT_EQ(InitAlphabet(nullptr, 16, 32), E_FAIL);
    EXPECT_EQ(InitAlphabet(kAlphabetPath, 0, 32), E_FAIL);
    EXPECT_EQ(InitAlphabet(kAlphabetPath, 16, 0), E_FAIL);
    EXPECT_EQ(g_pAlphabetSurface, loaded);
    EXPECT_EQ(g_bAlphabetLoaded, 1);
    EXPECT_TRUE(recorder.Outputs().empty());

    // A second load gives the first surface back.
    loaded->AddRef();
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    EXPECT_EQ(loaded->Release(), 0u);

    ReleaseAlphabet();
    EXPECT_EQ(g_pAlphabetSurface, nullptr);
    EXPECT_EQ(g_bAlphabetLoaded, 0);
}

TEST_F(AlphabetTest, AMissingBitmapIsReportedTwice) {
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitAlphabet("..\\Alfabeto\\missing.bmp", 16, 32), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load bitmap"));
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load alphabet bitmap"));
    const std::string joined = recorder.Joined();
    EXPECT_LT(joined.find("Unable to load bitmap"), joined.find("Unable to load alphabet bitmap"));
    EXPECT_EQ(g_bAlphabetLoaded, 0);
}

TEST_F(AlphabetTest, CopiesTheCharactersCellWithAndWithoutTheKey) {
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    // "A", code 65, is cell 33: row 1, column 1, the block at (16, 32).
    const std::vector<DWORD> cell = Cell(16, 32);
    ASSERT_EQ(cell.size(), kCellPixels);
    const size_t black = std::count(cell.begin(), cell.end(), 0u);
    ASSERT_GT(black, 0u) << "the glyph stands on black that reads as 0, the console's key";
    ASSERT_LT(black, cell.size()) << "the glyph has pixels of its own";

    PrintChar(5, 3, 'A', 0, 0, m_canvas.words.data(), Canvas::kPitch);
    Canvas keyed;
    PrintChar(5, 3, 'A', 1, 0, keyed.words.data(), Canvas::kPitch);
    for (int y = 0; y < Canvas::kRows; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) {
            const bool inCell = x >= 5 && x < 21 && y >= 3 && y < 35;
            const DWORD source = inCell ? cell[(y - 3) * 16 + (x - 5)] : kUntouched;
            EXPECT_EQ(m_canvas.At(x, y), source) << x << "," << y;
            EXPECT_EQ(keyed.At(x, y), source == 0 ? kUntouched : source) << x << "," << y;
        }
    }
}

TEST_F(AlphabetTest, AStringAdvancesOneCellPerCharacterAndTheSpaceDrawsNothing) {
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    PrintString(0, 0, "A B", 0, 0, m_canvas.words.data(), Canvas::kPitch);
    const std::vector<DWORD> a = Cell(16, 32);
    const std::vector<DWORD> b = Cell(32, 32);
    ASSERT_EQ(a.size(), kCellPixels);
    ASSERT_EQ(b.size(), kCellPixels);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(m_canvas.At(x, y), a[y * 16 + x]);
            EXPECT_EQ(m_canvas.At(16 + x, y), kUntouched) << "the space";
            EXPECT_EQ(m_canvas.At(32 + x, y), b[y * 16 + x]);
        }
    }
    Canvas empty;
    PrintString(0, 0, "", 0, 0, empty.words.data(), Canvas::kPitch);
    PrintString(0, 0, nullptr, 0, 0, empty.words.data(), Canvas::kPitch);
    EXPECT_TRUE(empty.Untouched());
}

TEST_F(AlphabetTest, CharactersWithoutACellDrawNothing) {
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    // Below 32, and from 160 on (a negative char), the cell index is negative.
    for (const char c : {'\x01', '\x1F', '\xA0', '\xE9', '\xFF'}) {
        PrintChar(0, 0, c, 0, 0, m_canvas.words.data(), Canvas::kPitch);
    }
    EXPECT_TRUE(m_canvas.Untouched());
    // 159 is the last cell, row 3 column 31; it exists.
    PrintChar(0, 0, '\x9F', 0, 0, m_canvas.words.data(), Canvas::kPitch);
    const std::vector<DWORD> last = Cell(31 * 16, 96);
    ASSERT_EQ(last.size(), kCellPixels);
    EXPECT_EQ(m_canvas.At(0, 0), last[0]);

    // Cells twice as high leave only two rows: code 96 is beyond them.
    Canvas tall;
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 64), S_OK);
    PrintChar(0, 0, '`', 0, 0, tall.words.data(), Canvas::kPitch);
    EXPECT_TRUE(tall.Untouched());
    PrintChar(0, 0, '_', 0, 0, tall.words.data(), Canvas::kPitch); // code 95, the last cell
    EXPECT_FALSE(tall.Untouched());

    // A cell wider than the bitmap leaves no cell at all.
    Canvas wide;
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 1024, 32), S_OK);
    EXPECT_EQ(g_AlphabetCellsPerRow, 0);
    PrintChar(0, 0, 'A', 0, 0, wide.words.data(), 1024 * 4 * 2);
    EXPECT_TRUE(wide.Untouched());
}

TEST_F(AlphabetTest, AClippedStringLeavesOutWhatFallsOutsideItsMemory) {
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    // The canvas taken as 20 rows of 88 pixels: "AB" from (-8, -10) shows the right half of A's lower
    // rows; "A" at (80, 12) its left 8 columns and top 8 rows.
    PrintStringClipped(-8, -10, "AB", 0, 0, m_canvas.words.data(), Canvas::kPitch, 20);
    PrintStringClipped(80, 12, "A", 0, 0, m_canvas.words.data(), Canvas::kPitch, 20);
    const std::vector<DWORD> a = Cell(16, 32);
    const std::vector<DWORD> b = Cell(32, 32);
    ASSERT_EQ(a.size(), kCellPixels);
    ASSERT_EQ(b.size(), kCellPixels);
    const int rowLength = Canvas::kPitch / 4;
    for (int y = 0; y < Canvas::kRows; ++y) {
        for (int x = 0; x < rowLength; ++x) {
            DWORD want = kUntouched;
            if (y < 20 && x < 8) {
                want = a[(y + 10) * 16 + x + 8];
            } else if (y < 20 && x < 24) {
                want = b[(y + 10) * 16 + x - 8];
            } else if (y >= 12 && y < 20 && x >= 80) {
                want = a[(y - 12) * 16 + x - 80];
            }
            ASSERT_EQ(m_canvas.words[static_cast<size_t>(y) * rowLength + x], want) << x << "," << y;
        }
    }
    Canvas outside;
    PrintStringClipped(0, 20, "AB", 0, 0, outside.words.data(), Canvas::kPitch, 20);
    PrintStringClipped(0, -32, "AB", 0, 0, outside.words.data(), Canvas::kPitch, 20);
    PrintStringClipped(rowLength, 0, "AB", 0, 0, outside.words.data(), Canvas::kPitch, 20);
    EXPECT_TRUE(outside.Untouched());
}

TEST_F(AlphabetTest, NothingIsDrawnOrReportedWithoutTheAlphabet) {
    DebugOutputRecorder recorder;
    PrintString(0, 0, "AB", 0, 0, m_canvas.words.data(), Canvas::kPitch);
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    ReleaseAlphabet();
    PrintString(0, 0, "AB", 0, 0, m_canvas.words.data(), Canvas::kPitch);
    EXPECT_TRUE(m_canvas.Untouched());
    EXPECT_TRUE(recorder.Outputs().empty());
}

TEST_F(AlphabetTest, ALockThatFailsSkipsTheCharacterWithAReport) {
    ASSERT_EQ(InitAlphabet(kAlphabetPath, 16, 32), S_OK);
    D3DLOCKED_RECT held;
    ASSERT_EQ(g_pAlphabetSurface->LockRect(&held, nullptr, D3DLOCK_READONLY), D3D_OK);
    DebugOutputRecorder recorder;
    PrintString(0, 0, "AB", 0, 0, m_canvas.words.data(), Canvas::kPitch);
    g_pAlphabetSurface->UnlockRect();
    EXPECT_TRUE(m_canvas.Untouched());
    const std::vector<std::string> outputs = recorder.Outputs();
    EXPECT_EQ(std::count(outputs.begin(), outputs.end(), "Couldnt lock alphabet surface for PrintChar()"), 2)
        << "one report per character";
    EXPECT_TRUE(recorder.HasErrorLine("Couldnt lock alphabet surface for PrintChar()"));
}

} // namespace
