// Surfaces: the screenshot of the window, CPU drawing on locked 32-bit pixel memory, bitmaps loaded
// into surfaces and keyed copies between them.
#pragma once

#include <windows.h>
#include <d3d9.h>

// Writes the part of the display that the window covers, frame included, as a BMP file.
bool SaveScreenshot(const char* fileName);
// The CPU drawing works on locked 32-bit pixel memory: pixel (x, y) is element y * (pitch / 4) + x.
// Memory for these two holds at least g_ScreenHeight rows of the pitch; nothing is written outside
// the screen's area or past the end of a row.
void SetPixel32(int x, int y, DWORD colour, int pitch, DWORD* pixels);
void FillRect32(const RECT* rect, DWORD colour, int pitch, DWORD* pixels);
void ClearRect(const D3DRECT* rect, D3DCOLOR colour, IDirect3DDevice9* device);
// A .bmp file in a new X8R8G8B8 system-memory surface, which the caller owns (even when the last
// step fails and E_FAIL comes back). A spoiled picture fails at the first step, as a missing file does.
HRESULT LoadBitmapSurface(const char* path, IDirect3DSurface9** ppSurface, IDirect3DDevice9* device);
// Copies a block of pixels between 32-bit surfaces; a null rectangle is the whole source, a null
// point (0, 0). With the key on, source pixels equal to the key leave the destination as it was.
// The block is cut to what lies inside both surfaces.
HRESULT CopySurfaceKeyed(const RECT* srcRect, IDirect3DSurface9* src, const POINT* dstPoint,
                         IDirect3DSurface9* dst, int useKey, DWORD key);
