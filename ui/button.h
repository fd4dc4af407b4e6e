// Picture buttons: a picture with over, up and down states and a hit test against the mouse cursor.
#pragma once

#include <windows.h>
#include <d3dx9.h>

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
    // Whether the press, as the mouse reads now, is on this button: the isPressed UpdateState would
    // set, leaving the flags as they are.
    bool IsPressedNow() const;
    void Render();
    void RenderWithText(const char* text);

    float x, y;
    float scaleX, scaleY;
    bool isOver;
    bool isPressed;
    DWORD lastClickTime; // zeroed by Init and InitWithFont, then written and read only by the screens
    LPD3DXFONT pFont;
    int fontPoints;
    LPDIRECT3DTEXTURE9 pOverTexture;
    LPD3DXSPRITE pSprite;
    D3DSURFACE_DESC overDesc; // Width and Height size the hit box
    LPDIRECT3DTEXTURE9 pUpTexture;
    LPDIRECT3DTEXTURE9 pDownTexture;
    CButton* pSubButtons;
};
