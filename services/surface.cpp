// Surface utilities: the screenshot of the window, and CPU drawing on locked 32-bit pixel memory for
// the alphabet font and the console.
#include "services/surface.h"
#include "services/device.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "services/picture_file.h"
#include "platform/platform.h"

#include <algorithm>

namespace {

// The only pixel formats the CPU drawing understands: one DWORD per pixel.
bool IsPixel32(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8;
}

// The part of a copy that lies inside both surfaces: the source's top-left corner, the destination's,
// and the size (zero when nothing is left).
struct CopyBlock {
    LONG srcX;
    LONG srcY;
    LONG dstX;
    LONG dstY;
    LONG width;
    LONG height;
};

// One axis of the cut: [from, to) in the source placed at `at` in the destination.
void ClipAxis(long long from, long long to, long long at, long long srcSize, long long dstSize,
              LONG* srcStart, LONG* dstStart, LONG* length) {
    if (from < 0) {
        at -= from;
        from = 0;
    }
    if (at < 0) {
        from -= at;
        at = 0;
    }
    to = std::min(to, srcSize);
    to = std::min(to, from + (dstSize - at));
    const long long size = std::max(0LL, to - from);
    *srcStart = static_cast<LONG>(size ? from : 0);
    *dstStart = static_cast<LONG>(size ? at : 0);
    *length = static_cast<LONG>(size);
}

CopyBlock ClipBlock(const RECT& rect, const POINT& point, const D3DSURFACE_DESC& src,
                    const D3DSURFACE_DESC& dst) {
    CopyBlock block = {};
    ClipAxis(rect.left, rect.right, point.x, src.Width, dst.Width, &block.srcX, &block.dstX, &block.width);
    ClipAxis(rect.top, rect.bottom, point.y, src.Height, dst.Height, &block.srcY, &block.dstY, &block.height);
    return block;
}

} // namespace

bool SaveScreenshot(const char* fileName) {
    if (!g_pd3dDevice || !fileName) {
        return false;
    }
    D3DDEVICE_CREATION_PARAMETERS creation = {};
    g_pd3dDevice->GetCreationParameters(&creation);
    IDirect3D9* d3d = nullptr;
    g_pd3dDevice->GetDirect3D(&d3d);
    D3DDISPLAYMODE mode = {};
    if (d3d) {
        d3d->GetAdapterDisplayMode(creation.AdapterOrdinal, &mode);
    }

    // The front buffer is the whole display; the window's rectangle picks out what the player sees.
    IDirect3DSurface9* display = nullptr;
    g_pd3dDevice->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH,
                                              &display, nullptr);
    HRESULT hr = E_FAIL;
    // Wine's front buffer of a windowed device reads as black: there the display is read through GDI.
    const HRESULT captured = !display            ? E_FAIL
                             : IsRunningOnWine() ? CaptureDisplay(display)
                                                 : g_pd3dDevice->GetFrontBufferData(0, display);
    // A capture that failed would be saved as an empty picture: no file then, and false.
    if (SUCCEEDED(captured)) {
        RECT window = {};
        GetWindowRect(g_hWnd, &window);
        hr = D3DXSaveSurfaceToFileA(fileName, D3DXIFF_BMP, display, nullptr, &window);
    }
    SafeRelease(display);
    SafeRelease(d3d);
    return hr == 0;
}

void SetPixel32(int x, int y, DWORD colour, int pitch, DWORD* pixels) {
    const int rowLength = pitch / 4;
    if (!pixels || x < 0 || y < 0 || x >= g_ScreenWidth || y >= g_ScreenHeight || x >= rowLength) {
        return;
    }
    pixels[static_cast<ptrdiff_t>(y) * rowLength + x] = colour;
}

void FillRect32(const RECT* rect, DWORD colour, int pitch, DWORD* pixels) {
    if (!rect || !pixels) {
        return;
    }
    // The same area as SetPixel32: the screen, and no further than a row reaches.
    const ptrdiff_t rowLength = pitch / 4;
    const LONG left = std::max(rect->left, 0L);
    const LONG top = std::max(rect->top, 0L);
    const LONG right = static_cast<LONG>(std::min<ptrdiff_t>({rect->right, g_ScreenWidth, rowLength}));
    const LONG bottom = std::min(rect->bottom, static_cast<LONG>(g_ScreenHeight));
    for (LONG row = top; row < bottom; ++row) {
        DWORD* pixel = pixels + row * rowLength + left;
        for (LONG x = left; x < right; ++x) {
            *pixel++ = colour;
        }
    }
}

void ClearRect(const D3DRECT* rect, D3DCOLOR colour, IDirect3DDevice9* device) {
    if (device) {
        device->Clear(1, rect, D3DCLEAR_TARGET, colour, 0.0f, 0);
    }
}

HRESULT LoadBitmapSurface(const char* path, IDirect3DSurface9** ppSurface, IDirect3DDevice9* device) {
    // GDI only gives the picture's size; D3DX reads the file again into the surface.
    const HBITMAP bitmap = CheckedLoadBitmapFile(path);
    if (!bitmap) {
        ErrorOut("Unable to load bitmap");
        return E_FAIL;
    }
    BITMAP description = {};
    GetObjectA(bitmap, sizeof(description), &description);
    DeleteObject(bitmap);

    if (!ppSurface || !device ||
        FAILED(device->CreateOffscreenPlainSurface(description.bmWidth, description.bmHeight, D3DFMT_X8R8G8B8,
                                                   D3DPOOL_SYSTEMMEM, ppSurface, nullptr))) {
        ErrorOut("Unable to create surface for bitmap load");
        return E_FAIL;
    }
    if (FAILED(CheckedLoadSurfaceFromFile(*ppSurface, nullptr, nullptr, path, nullptr, D3DX_FILTER_NONE, 0,
                                          nullptr))) {
        ErrorOut("Unable to load file to surface");
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CopySurfaceKeyed(const RECT* srcRect, IDirect3DSurface9* src, const POINT* dstPoint,
                         IDirect3DSurface9* dst, int useKey, DWORD key) {
    if (!src || !dst) {
        return E_FAIL;
    }
    D3DSURFACE_DESC srcDesc;
    D3DSURFACE_DESC dstDesc;
    if (FAILED(src->GetDesc(&srcDesc)) || FAILED(dst->GetDesc(&dstDesc)) || !IsPixel32(srcDesc.Format) ||
        !IsPixel32(dstDesc.Format)) {
        return E_FAIL;
    }
    const RECT wholeSource = {0, 0, static_cast<LONG>(srcDesc.Width), static_cast<LONG>(srcDesc.Height)};
    const POINT origin = {0, 0};
    const CopyBlock block =
        ClipBlock(srcRect ? *srcRect : wholeSource, dstPoint ? *dstPoint : origin, srcDesc, dstDesc);

    D3DLOCKED_RECT srcLocked;
    if (FAILED(src->LockRect(&srcLocked, nullptr, D3DLOCK_READONLY))) {
        return E_FAIL;
    }
    D3DLOCKED_RECT dstLocked;
    if (FAILED(dst->LockRect(&dstLocked, nullptr, 0))) {
        src->UnlockRect();
        return E_FAIL;
    }
    const ptrdiff_t srcRowLength = srcLocked.Pitch / 4;
    const ptrdiff_t dstRowLength = dstLocked.Pitch / 4;
    for (LONG r = 0; r < block.height; ++r) {
        const DWORD* from =
            static_cast<const DWORD*>(srcLocked.pBits) + (block.srcY + r) * srcRowLength + block.srcX;
        DWORD* to = static_cast<DWORD*>(dstLocked.pBits) + (block.dstY + r) * dstRowLength + block.dstX;
        for (LONG c = 0; c < block.width; ++c) {
            if (!useKey || from[c] != key) {
                to[c] = from[c];
            }
        }
    }
    src->UnlockRect();
    dst->UnlockRect();
    return S_OK;
}
