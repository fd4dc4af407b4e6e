// The window and the Direct3D device every layer draws with, the device's set-up, and the screens' shared
// sprite.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
extern const int g_ScreenWidth;  // 1024: the base of every percentage layout
extern const int g_ScreenHeight; // 768
extern LPDIRECT3D9 g_pD3D;
extern LPDIRECT3DDEVICE9 g_pd3dDevice;
// The screens' shared sprite and its scaling.
extern LPD3DXSPRITE g_pSprite;
extern D3DXMATRIX g_SpriteMatrix;

// The device's set-up: the full-screen question (not asked when forceWindowed is 1), the present
// parameters, HAL with a fall-back to the reference device, projection and default states, and the
// "options.txt" report of the settings (services/settings.h) it was made with.
HRESULT InitD3D(LPDIRECT3D9* ppD3D, LPDIRECT3DDEVICE9* ppDevice, HWND hWnd, int forceWindowed,
                int multithreaded);
