// The device's set-up: the full-screen question, the present parameters, the device itself and the
// "options.txt" report of the settings it was made with.
#pragma once

#include <windows.h>
#include <d3d9.h>

extern int g_DeviceWidth;
extern int g_DeviceHeight;
extern int g_DeviceBpp;
extern D3DPRESENT_PARAMETERS g_d3dpp;
extern BYTE g_bHalDevice;
extern BYTE g_bRefDevice;

HRESULT InitD3D(LPDIRECT3D9* ppD3D, LPDIRECT3DDEVICE9* ppDevice, HWND hWnd, int forceWindowed,
                int multithreaded);
