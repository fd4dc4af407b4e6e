// The screen's text font.
#include "ui/ui.h"

LPD3DXFONT g_pFont = nullptr;
