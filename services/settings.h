// The settings the device was made with (its size and depth, the present parameters, HAL or reference),
// which InitD3D (services/device.h) fills and reports in "options.txt".
#pragma once

#include <windows.h>
#include <d3d9.h>

extern int g_DeviceWidth;
extern int g_DeviceHeight;
extern int g_DeviceBpp;
extern D3DPRESENT_PARAMETERS g_d3dpp;
extern BYTE g_bHalDevice;
extern BYTE g_bRefDevice;
