// The frame count of CountFrame drawn with the screen's text font.
#include "services/timing.h"
#include "ui/font.h"

#include <cstdlib>

// Inside an open scene, like every text drawing.
void DrawFPS(int x, int y, float red, float green, float blue, float alpha) {
    _itoa(g_FPS, g_FPSText, 10);
    DrawFontText(x, y, g_FPSText, D3DXCOLOR(red, green, blue, alpha));
}
