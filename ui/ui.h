// The 2D interface: picture buttons, the slider, the text fonts and the console. What other
// subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

extern LPD3DXFONT g_pFont; // the screen's text font

void DrawFontText(int x, int y, const char* text, D3DXCOLOR colour);
