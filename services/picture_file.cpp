// The checked picture loaders: the picture check on the file, mapped, then the platform's loader with the
// same arguments.
#include "services/picture_file.h"
#include "services/picture_check.h"

bool PictureFileIsSpoiled(const char* path) {
    if (!path) {
        return false;
    }
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size = {};
    const bool sized = GetFileSizeEx(file, &size);
    if (sized && size.QuadPart == 0) {
        CloseHandle(file);
        return false; // nothing to map, nor to load
    }
    const HANDLE mapping = sized ? CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    const bool spoiled = !view || PictureIsSpoiled(static_cast<const unsigned char*>(view),
                                                   static_cast<uint64_t>(size.QuadPart));
    if (view) {
        UnmapViewOfFile(view);
    }
    if (mapping) {
        CloseHandle(mapping);
    }
    CloseHandle(file);
    return spoiled;
}

HRESULT CheckedCreateTextureFromFile(IDirect3DDevice9* device, const char* path,
                                     IDirect3DTexture9** texture) {
    if (PictureFileIsSpoiled(path)) {
        return D3DXERR_INVALIDDATA;
    }
    return D3DXCreateTextureFromFileA(device, path, texture);
}

HRESULT CheckedCreateTextureFromFileEx(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                       UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                       DWORD filter, DWORD mipFilter, D3DCOLOR colourKey,
                                       D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                       IDirect3DTexture9** texture) {
    if (PictureFileIsSpoiled(path)) {
        return D3DXERR_INVALIDDATA;
    }
    return D3DXCreateTextureFromFileExA(device, path, width, height, mipLevels, usage, format, pool, filter,
                                        mipFilter, colourKey, info, palette, texture);
}

HRESULT CheckedCreateVolumeTextureFromFileEx(IDirect3DDevice9* device, const char* path, UINT width,
                                             UINT height, UINT depth, UINT mipLevels, DWORD usage,
                                             D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                             D3DCOLOR colourKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                             IDirect3DVolumeTexture9** texture) {
    if (PictureFileIsSpoiled(path)) {
        return D3DXERR_INVALIDDATA;
    }
    return D3DXCreateVolumeTextureFromFileExA(device, path, width, height, depth, mipLevels, usage, format,
                                              pool, filter, mipFilter, colourKey, info, palette, texture);
}

HRESULT CheckedLoadSurfaceFromFile(IDirect3DSurface9* surface, const PALETTEENTRY* destPalette,
                                   const RECT* destRect, const char* path, const RECT* srcRect, DWORD filter,
                                   D3DCOLOR colourKey, D3DXIMAGE_INFO* info) {
    if (PictureFileIsSpoiled(path)) {
        return D3DXERR_INVALIDDATA;
    }
    return D3DXLoadSurfaceFromFileA(surface, destPalette, destRect, path, srcRect, filter, colourKey, info);
}

HBITMAP CheckedLoadBitmapFile(const char* path) {
    if (PictureFileIsSpoiled(path)) {
        return nullptr;
    }
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
