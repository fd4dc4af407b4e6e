// The alphabet bitmap font: glyphs copied by the CPU from the cells of one bitmap.
#pragma once

#include <windows.h>
#include <d3dx9.h>

// Glyphs are cells of one bitmap, cell k holding code 32 + k, copied by the CPU into pixel memory
// that the caller has locked (pixel (x, y) is element y * (pitch / 4) + x). Codes without a cell
// draw nothing; the destination is not clipped.
extern int g_AlphabetWidth;
extern int g_AlphabetHeight;
extern int g_AlphabetCellWidth;  // also the advance from one character to the next
extern int g_AlphabetCellHeight; // also the console's line height
extern int g_AlphabetCellsPerRow;
extern IDirect3DSurface9* g_pAlphabetSurface;
extern int g_bAlphabetLoaded;

// A second call releases the first alphabet. On a failed load the surface may stay for
// ReleaseAlphabet to release, with the loaded flag 0.
HRESULT InitAlphabet(const char* path, int cellWidth, int cellHeight);
HRESULT ReleaseAlphabet();
void PrintChar(int x, int y, char character, int useKey, DWORD key, DWORD* pixels, int pitch);
void PrintString(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch);
// PrintString into memory of `rows` rows of pitch / 4 pixels: what falls outside it is left out,
// so a text may stand partly above, below or beside the memory.
void PrintStringClipped(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch,
                        int rows);
