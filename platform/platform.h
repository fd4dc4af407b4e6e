// The small layer that stands in for platform functions Wine lacks. Every function here is used only
// where the platform's own is missing; elsewhere the real one is called.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

// True when the program runs under Wine (told by ntdll's wine_get_version, since some of the missing
// functions abort the process when called and cannot be probed).
bool IsRunningOnWine();

// IDirect3DDevice9::GetFrontBufferData, which on Wine 8.0 fills the surface with black for a windowed
// device. There the display is read through GDI instead: the whole screen, as the player sees it, into
// `surface`, an A8R8G8B8 surface that the caller can lock (D3DERR_INVALIDCALL for any other format).
// The part that lies outside the screen or the surface is left as it was.
HRESULT CaptureDisplay(IDirect3DSurface9* surface);

// D3DXComputeTangent, which aborts the process on Wine 8.0. There our own computation writes, in place,
// the unit tangent (the direction of growing u of texture coordinate `texStage`) into the vertex's
// TANGENT element `tangentIndex` and the unit binormal (growing v) into BINORMAL `binormIndex`
// (D3DX_DEFAULT: none), both made perpendicular to the vertex's normal when it has one, the binormal
// also to the tangent. Non-zero `wrap` takes coordinate steps the short way round the [0, 1] wrap
// (a face that spans the whole texture keeps its plain steps).
// Adjacency is not needed: no vertex is split. D3DERR_INVALIDCALL when the mesh lacks the position,
// texture coordinate or output elements in a float form.
HRESULT ComputeTangent(ID3DXMesh* mesh, DWORD texStage, DWORD tangentIndex, DWORD binormIndex, DWORD wrap,
                       const DWORD* adjacency);
