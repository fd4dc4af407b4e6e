// Input devices: the DirectInput keyboard and mouse, and the cursor drawn in the mouse's place.
// What other subsystems may use of them.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <dinput.h>

// The one DirectInput object; null until InitInput creates it.
extern LPDIRECTINPUT8A g_pDirectInput;

// Creates the DirectInput object, then sets up g_Keyboard and g_Mouse (the mouse loads its picture on
// g_pd3dDevice, so the window and the device must exist). S_OK, or E_FAIL at the first failing step.
HRESULT InitInput();
void ReleaseInput();

// The keyboard, read in immediate mode: every key test reads a fresh snapshot of all 256 keys.
// The global instance is zero-filled before the program starts, which is its initial state.
class CKeyboard {
public:
    constexpr CKeyboard() : pDevice(nullptr), keys{}, acquired(0) {}
    ~CKeyboard();

    HRESULT Init();
    // 1 when the key (a DIK_ code) is down now. A device lost with the foreground is taken back here.
    int IsKeyDown(int key);
    void Release();

    LPDIRECTINPUTDEVICE8A pDevice;
    BYTE keys[256]; // bit 7 set while the key is down
    int acquired;   // set once Init has acquired the device; cleared only with the device
};

struct MouseDelta {
    int lX;
    int lY;
};

// The mouse, read in immediate mode. Its relative motion moves a cursor position of its own, kept
// within 0-1279 by 0-1023 (past the 1024 x 768 window, where the cursor is not seen); the top-left
// pixel of the cursor picture is the hot spot. The global instance is zero-filled before the program
// starts, which is its initial state.
class CMouse {
public:
    CMouse(); // leaves the picture, the sprite and the state alone
    ~CMouse();

    HRESULT Init();
    HRESULT Poll();
    void UpdatePosition();
    // Draws in a scene of its own: call it outside any other scene, before Present.
    void DrawCursor();
    void SetPosition(int newX, int newY);
    void GetPosition(int* pX, int* pY) const;
    void MoveBy(int dx, int dy); // no clamping: the next UpdatePosition clamps
    int ShowHardwareCursor();
    MouseDelta GetDelta() const;
    int IsButtonDown(int button) const; // 0 is the left button
    // Releases the device; the picture and the sprite stay.
    void Release();

    LPDIRECTINPUTDEVICE8A pDevice;
    IUnknown* pAux; // nothing sets it; released with the device
    LPDIRECT3DTEXTURE9 pCursorTexture;
    LPD3DXSPRITE pSprite;
    int acquired;       // set once Init has acquired the device; cleared only with the device
    int hardwareCursor; // allows ShowHardwareCursor; nothing sets it
    DIMOUSESTATE state; // the last read, left as it is by a failed one
    int x;
    int y;
};

// Both defined in game/static_objects.cpp, whose order of construction matters: known reaches upward.
extern CKeyboard g_Keyboard;
extern CMouse g_Mouse;
