// The alphabet bitmap font: fixed-pitch glyphs copied by the CPU from the cells of one bitmap into
// pixel memory the caller has locked. One alphabet per program, held in the globals below.
#include "services/device.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "services/surface.h"
#include "ui/alphabet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFirstCode = 32; // cell 0 holds the space
const char kLockFailed[] = "Couldnt lock alphabet surface for PrintChar()";

// The cell of a character, or -1 when the bitmap has none for it. The index is the code minus 32
// taken as a signed byte, so codes below 32 and from 160 on come out negative.
int CellIndex(char character) {
    const int k = static_cast<signed char>(static_cast<unsigned char>(character) - kFirstCode);
    const int rows = g_AlphabetCellHeight > 0 ? g_AlphabetHeight / g_AlphabetCellHeight : 0;
    if (k < 0 || k >= g_AlphabetCellsPerRow * rows) {
        return -1;
    }
    return k;
}

// The part of a cell to copy, in cell pixels: rows [firstRow, endRow), columns [firstColumn, endColumn).
struct CellPart {
    int firstRow;
    int endRow;
    int firstColumn;
    int endColumn;
};

void CopyCell(int x, int y, char character, int useKey, DWORD key, DWORD* pixels, int pitch,
              const CellPart& part) {
    // A character without a cell draws nothing, like the space, instead of reading outside the bitmap.
    const int k = CellIndex(character);
    if (k < 0 || part.firstRow >= part.endRow || part.firstColumn >= part.endColumn) {
        return;
    }
    const div_t cell = div(k, g_AlphabetCellsPerRow);

    D3DLOCKED_RECT locked;
    if (FAILED(g_pAlphabetSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        ErrorOut(kLockFailed);
        return;
    }
    const ptrdiff_t srcRowLength = locked.Pitch / 4;
    const ptrdiff_t dstRowLength = pitch / 4;
    const DWORD* from = static_cast<const DWORD*>(locked.pBits) +
                        srcRowLength * (g_AlphabetCellHeight * cell.quot + part.firstRow) +
                        g_AlphabetCellWidth * cell.rem;
    DWORD* to = pixels + (static_cast<ptrdiff_t>(y) + part.firstRow) * dstRowLength + x;
    for (int row = part.firstRow; row < part.endRow; ++row) {
        for (int column = part.firstColumn; column < part.endColumn; ++column) {
            if (!useKey || from[column] != key) {
                to[column] = from[column];
            }
        }
        from += srcRowLength;
        to += dstRowLength;
    }
    g_pAlphabetSurface->UnlockRect();
}

bool CanDraw(char character, const DWORD* pixels) {
    return g_bAlphabetLoaded && g_pAlphabetSurface && pixels && character != ' ';
}

} // namespace

int g_AlphabetWidth = 0;
int g_AlphabetHeight = 0;
int g_AlphabetCellWidth = 0;
int g_AlphabetCellHeight = 0;
int g_AlphabetCellsPerRow = 0;
IDirect3DSurface9* g_pAlphabetSurface = nullptr;
int g_bAlphabetLoaded = 0;

HRESULT InitAlphabet(const char* path, int cellWidth, int cellHeight) {
    if (!path || cellWidth <= 0 || cellHeight <= 0) {
        return E_FAIL;
    }
    // A second load replaces the first instead of leaking it.
    ReleaseAlphabet();
    if (FAILED(LoadBitmapSurface(path, &g_pAlphabetSurface, g_pd3dDevice))) {
        ErrorOut("Unable to load alphabet bitmap");
        return E_FAIL;
    }
    D3DSURFACE_DESC desc;
    g_pAlphabetSurface->GetDesc(&desc);
    g_AlphabetWidth = static_cast<int>(desc.Width);
    g_AlphabetHeight = static_cast<int>(desc.Height);
    g_AlphabetCellWidth = cellWidth;
    g_AlphabetCellHeight = cellHeight;
    g_AlphabetCellsPerRow = g_AlphabetWidth / cellWidth;
    g_bAlphabetLoaded = 1;
    return S_OK;
}

HRESULT ReleaseAlphabet() {
    if (g_pAlphabetSurface) {
        SafeRelease(g_pAlphabetSurface);
        g_bAlphabetLoaded = 0;
    }
    return S_OK;
}

void PrintChar(int x, int y, char character, int useKey, DWORD key, DWORD* pixels, int pitch) {
    if (CanDraw(character, pixels)) {
        CopyCell(x, y, character, useKey, key, pixels, pitch,
                 {0, g_AlphabetCellHeight, 0, g_AlphabetCellWidth});
    }
}

void PrintString(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch) {
    if (!text) {
        return;
    }
    const size_t length = strlen(text);
    for (size_t i = 0; i < length; ++i) {
        PrintChar(x + g_AlphabetCellWidth * static_cast<int>(i), y, text[i], useKey, key, pixels, pitch);
    }
}

void PrintStringClipped(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch,
                        int rows) {
    if (!text || pitch < 4 || rows <= 0) {
        return;
    }
    const int rowLength = pitch / 4;
    CellPart part = {0, g_AlphabetCellHeight, 0, g_AlphabetCellWidth};
    part.firstRow = std::max(0, -y);
    part.endRow = std::min(g_AlphabetCellHeight, rows - y);
    const size_t length = strlen(text);
    for (size_t i = 0; i < length; ++i) {
        const int left = x + g_AlphabetCellWidth * static_cast<int>(i);
        part.firstColumn = std::max(0, -left);
        part.endColumn = std::min(g_AlphabetCellWidth, rowLength - left);
        if (CanDraw(text[i], pixels)) {
            CopyCell(left, y, text[i], useKey, key, pixels, pitch, part);
        }
    }
}
