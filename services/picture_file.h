// Picture files: the one way the program reads a picture from a file, whatever the layer. Each loader
// takes the platform loader's own arguments and checks the file first: a file whose headers do not
// hold together or whose stated size is beyond any picture of ours never reaches the platform, which
// would read past its end or overflow on it, and fails as unreadable data, as a missing file fails.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

// The picture check (services/picture_check.h) on the file at `path`, mapped whole: a JPEG's frame header
// may lie past long metadata. A file that cannot be opened and an empty file are not judged (false):
// the loaders refuse those themselves. A file that opens but cannot be mapped cannot be vouched for.
bool PictureFileIsSpoiled(const char* path);

// D3DXCreateTextureFromFileA: the library's defaults.
HRESULT CheckedCreateTextureFromFile(IDirect3DDevice9* device, const char* path, IDirect3DTexture9** texture);
// D3DXCreateTextureFromFileExA.
HRESULT CheckedCreateTextureFromFileEx(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                       UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                       DWORD filter, DWORD mipFilter, D3DCOLOR colourKey,
                                       D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                       IDirect3DTexture9** texture);
// D3DXCreateVolumeTextureFromFileExA.
HRESULT CheckedCreateVolumeTextureFromFileEx(IDirect3DDevice9* device, const char* path, UINT width,
                                             UINT height, UINT depth, UINT mipLevels, DWORD usage,
                                             D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                             D3DCOLOR colourKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                             IDirect3DVolumeTexture9** texture);
// D3DXLoadSurfaceFromFileA.
HRESULT CheckedLoadSurfaceFromFile(IDirect3DSurface9* surface, const PALETTEENTRY* destPalette,
                                   const RECT* destRect, const char* path, const RECT* srcRect, DWORD filter,
                                   D3DCOLOR colourKey, D3DXIMAGE_INFO* info);
// LoadImageA of a bitmap file as a DIB section (LR_LOADFROMFILE | LR_CREATEDIBSECTION); null on failure.
HBITMAP CheckedLoadBitmapFile(const char* path);
