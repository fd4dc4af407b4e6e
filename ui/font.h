// The screen's text font, and the frame count drawn with it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

extern LPD3DXFONT g_pFont;
extern int g_FontHeight; // 18 pixels
extern HRESULT g_hr;     // despite its name, only the result of creating the font in InitFont

HRESULT InitFont(const char* face);
void DrawFontText(int x, int y, const char* text, D3DXCOLOR colour);
// A colour as the font draws it: each channel clamped to 0..1 and rounded to a byte, packed ARGB.
D3DCOLOR FontColour(const D3DXCOLOR& colour);
// The frame count of CountFrame drawn with the font, inside an open scene.
void DrawFPS(int x, int y, float red, float green, float blue, float alpha);
