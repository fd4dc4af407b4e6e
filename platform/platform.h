// The small layer that stands in for platform functions Wine lacks. Every function here is used only
// where the platform's own is missing; elsewhere the real one is called.
#pragma once

#include <windows.h>
#include <d3d9.h>

// True when the program runs under Wine (told by ntdll's wine_get_version, since some of the missing
// functions abort the process when called and cannot be probed).
bool IsRunningOnWine();

// IDirect3DDevice9::GetFrontBufferData, which on Wine 8.0 fills the surface with black for a windowed
// device. There the display is read through GDI instead: the whole screen, as the player sees it, into
// `surface`, an A8R8G8B8 surface that the caller can lock (D3DERR_INVALIDCALL for any other format).
// The part that lies outside the screen or the surface is left as it was.
HRESULT CaptureDisplay(IDirect3DSurface9* surface);
