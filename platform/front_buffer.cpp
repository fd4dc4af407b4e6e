// The display read through GDI, standing in for GetFrontBufferData on Wine.
#include "platform/platform.h"

#include <algorithm>

HRESULT CaptureDisplay(IDirect3DSurface9* surface) {
    D3DSURFACE_DESC desc;
    if (!surface || FAILED(surface->GetDesc(&desc)) || desc.Format != D3DFMT_A8R8G8B8) {
        return D3DERR_INVALIDCALL;
    }
    const int width = std::min(static_cast<int>(desc.Width), GetSystemMetrics(SM_CXSCREEN));
    const int height = std::min(static_cast<int>(desc.Height), GetSystemMetrics(SM_CYSCREEN));
    if (width <= 0 || height <= 0) {
        return D3DERR_INVALIDCALL;
    }

    HDC screen = GetDC(nullptr);
    if (!screen) {
        return E_FAIL;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, like the surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);

    HRESULT hr = E_FAIL;
    if (picture && memory) {
        HGDIOBJ previous = SelectObject(memory, picture);
        const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        GdiFlush();
        D3DLOCKED_RECT locked;
        if (copied && SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
            // GDI leaves the top byte undefined; the display is opaque.
            for (int y = 0; y < height; ++y) {
                const DWORD* from = static_cast<const DWORD*>(bits) + static_cast<ptrdiff_t>(y) * width;
                DWORD* to = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) +
                                                     static_cast<ptrdiff_t>(y) * locked.Pitch);
                for (int x = 0; x < width; ++x) {
                    to[x] = from[x] | 0xFF000000;
                }
            }
            surface->UnlockRect();
            hr = D3D_OK;
        }
    }
    if (memory) {
        DeleteDC(memory);
    }
    if (picture) {
        DeleteObject(picture);
    }
    ReleaseDC(nullptr, screen);
    return hr;
}
