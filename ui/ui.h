// The 2D interface: picture buttons, the slider, the text fonts and the console. What other
// subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

// ---- Picture buttons ----

// A picture drawn by its own sprite at (x * scaleX, y * scaleY), with a hit test against the mouse
// cursor. No constructor: the screens' buttons are zero-filled globals.
class CButton {
public:
    void LoadOverImage(const char* file);
    void LoadUpImage(const char* file);
    void LoadDownImage(const char* file);
    void LoadImages(const char* file);
    CButton* AllocSubButtons(unsigned count); // null when the allocation fails
    void Init(float xPos, float yPos);
    void InitWithFont(float xPos, float yPos, const char* face);
    void Release();
    void UpdateState();
    void Render();
    void RenderWithText(const char* text);

    float x, y;
    float scaleX, scaleY;
    bool isOver;
    bool isPressed;
    DWORD lastClickTime; // written and read only by the screens
    LPD3DXFONT pFont;
    int fontPoints;
    LPDIRECT3DTEXTURE9 pOverTexture;
    LPD3DXSPRITE pSprite;
    D3DSURFACE_DESC overDesc; // Width and Height size the hit box
    LPDIRECT3DTEXTURE9 pUpTexture;
    LPDIRECT3DTEXTURE9 pDownTexture;
    CButton* pSubButtons;
};

// Loads a sprite picture whose opaque black is transparent; a failure is reported on the debugger
// and leaves *texture null.
void LoadSpriteTexture(const char* file, LPDIRECT3DTEXTURE9* texture);

// ---- The screen's text font ----
extern LPD3DXFONT g_pFont;
extern int g_FontHeight; // 18 pixels
extern HRESULT g_hr;

HRESULT InitFont(const char* face);
void DrawFontText(int x, int y, const char* text, D3DXCOLOR colour);
// A colour as the font draws it: each channel clamped to 0..1 and rounded to a byte, packed ARGB.
D3DCOLOR FontColour(const D3DXCOLOR& colour);
