// The screen's text font: one D3DX font for the status line, the counts and the solution.
// Its failures go to "D3D.log" (when open) and the debugger, never to the player.
#include "services/device.h"
#include "services/log.h"
#include "ui/font.h"

LPD3DXFONT g_pFont = nullptr;
int g_FontHeight = 18;
HRESULT g_hr = S_OK;

namespace {

const char kFontFailed[] = "Impossibile caricare il font necessario";
const char kDrawFailed[] = "Impossibile scrivere l'output su schermo";

// Without an open log no line is appended.
void AppendLogLine(const char* text) {
    if (g_LogFile) {
        LogWrite(text);
    }
}

BYTE ChannelByte(float c) {
    if (c >= 1.0f) {
        return 255;
    }
    if (c <= 0.0f) {
        return 0;
    }
    return static_cast<BYTE>(c * 255.0f + 0.5f);
}

} // namespace

D3DCOLOR FontColour(const D3DXCOLOR& colour) {
    return D3DCOLOR_ARGB(ChannelByte(colour.a), ChannelByte(colour.r), ChannelByte(colour.g),
                         ChannelByte(colour.b));
}

HRESULT InitFont(const char* face) {
    g_hr =
        D3DXCreateFontA(g_pd3dDevice, g_FontHeight, 0, FW_BOLD, 0, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face, &g_pFont);
    if (SUCCEEDED(g_hr)) {
        return S_OK;
    }
    AppendLogLine(kFontFailed);
    OutputDebugStringA(kFontFailed);
    OutputDebugStringA("\n");
    return E_FAIL;
}

void DrawFontText(int x, int y, const char* text, D3DXCOLOR colour) {
    if (!g_pFont) {
        return;
    }
    RECT rect;
    SetRect(&rect, x, y, 0, 0);
    if (g_pFont->DrawTextA(nullptr, text, -1, &rect, DT_NOCLIP, FontColour(colour)) < 0) {
        AppendLogLine(kDrawFailed);
    }
}
