// The Direct3D object and the one rendering device: the full-screen question, the present parameters,
// HAL with a fall-back to the reference device, projection, default states and the "options.txt" report;
// and the window and device globals every layer draws with.
#include "services/device.h"
#include "services/empty_file.h"
#include "services/settings.h"
#include "services/screen_layout.h"

#include <cstdio>

HINSTANCE g_hInstance = nullptr;
HWND g_hWnd = nullptr;
const int g_ScreenWidth = layout::kScreenWidth;
const int g_ScreenHeight = layout::kScreenHeight;
LPDIRECT3D9 g_pD3D = nullptr;
LPDIRECT3DDEVICE9 g_pd3dDevice = nullptr;
LPD3DXSPRITE g_pSprite = nullptr;
D3DXMATRIX g_SpriteMatrix;

int g_DeviceWidth = layout::kScreenWidth;
int g_DeviceHeight = layout::kScreenHeight;
int g_DeviceBpp = 16;
D3DPRESENT_PARAMETERS g_d3dpp;
BYTE g_bHalDevice = 0;
BYTE g_bRefDevice = 0;

namespace {

const char kReportName[] = "options.txt";

// The report is informative only: when it cannot be opened the set-up goes on without it.
void Report(FILE* report, const char* format, const char* value) {
    if (report) {
        fprintf(report, format, value);
    }
}

void ReportInt(FILE* report, const char* format, int value) {
    if (report) {
        fprintf(report, format, value);
    }
}

void FillPresentParameters(const D3DDISPLAYMODE& mode, bool windowed) {
    ZeroMemory(&g_d3dpp, sizeof(g_d3dpp));
    g_d3dpp.BackBufferWidth = g_DeviceWidth;
    g_d3dpp.BackBufferHeight = g_DeviceHeight;
    g_d3dpp.BackBufferFormat = mode.Format;
    g_d3dpp.BackBufferCount = 1;
    g_d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
    g_d3dpp.MultiSampleQuality = 0;
    g_d3dpp.SwapEffect = D3DSWAPEFFECT_COPY;
    g_d3dpp.hDeviceWindow = nullptr;
    g_d3dpp.Windowed = windowed ? TRUE : FALSE;
    g_d3dpp.EnableAutoDepthStencil = TRUE;
    g_d3dpp.AutoDepthStencilFormat = D3DFMT_D24S8;
    g_d3dpp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    g_d3dpp.FullScreen_RefreshRateInHz = 0;
    g_d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
}

// Grows the window so that its client area is exactly the back buffer's size.
void FitClientArea(HWND hWnd) {
    RECT client;
    RECT window;
    GetClientRect(hWnd, &client);
    GetWindowRect(hWnd, &window);
    MoveWindow(hWnd, window.left, window.top, (window.right - window.left) - client.right + g_DeviceWidth,
               (window.bottom - window.top) - client.bottom + g_DeviceHeight, TRUE);
}

} // namespace

HRESULT InitD3D(LPDIRECT3D9* ppD3D, LPDIRECT3DDEVICE9* ppDevice, HWND hWnd, int forceWindowed,
                int multithreaded) {
    char question[64];
    sprintf(question, "Modalit\xE0 schermo-intero? (%dx%dx%d)", g_DeviceWidth, g_DeviceHeight, g_DeviceBpp);

    // Every start empties the report, even when the set-up fails before writing it.
    CreateEmptyFile(kReportName);

    if (!ppD3D || !ppDevice || !hWnd) {
        return E_FAIL;
    }

    LPDIRECT3D9 d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        MessageBoxA(hWnd, "Installare DirectX 9.0c \n", "Errore", MB_ICONEXCLAMATION);
        OutputDebugStringA("ERROR: Installare DirectX 9.0c \n");
        return E_FAIL;
    }
    *ppD3D = d3d;

    const int answer = forceWindowed == 1
                           ? IDNO
                           : MessageBoxA(hWnd, question, "Apertura Applicazione", MB_YESNO | MB_ICONQUESTION);
    const bool windowed = answer != IDYES;

    D3DDISPLAYMODE mode = {};
    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);

    FILE* report = fopen(kReportName, "w");
    if (windowed) {
        FitClientArea(hWnd);
    }
    FillPresentParameters(mode, windowed);
    ReportInt(report, "WinWidth %d\n", g_DeviceWidth);
    ReportInt(report, "WinHeight %d\n", g_DeviceHeight);
    Report(report, "Windowed %s\n", windowed ? "TRUE" : "FALSE");
    Report(report, "MultiSampleType %s\n", "D3DMULTISAMPLE_NONE");
    Report(report, "SwapEffect %s\n", "D3DSWAPEFFECT_COPY");
    Report(report, "EnableAutoDepthStencil %s\n", "TRUE");
    Report(report, "PresentationInterval %s\n", "D3DPRESENT_INTERVAL_IMMEDIATE");
    Report(report, "Flags %s\n", "D3DPRESENTFLAG_LOCKABLE_BACKBUFFER");
    Report(report, "%s", "\n");

    // Caps that cannot be read stay zero: software vertex processing and "false" in the report.
    D3DCAPS9 caps = {};
    d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    DWORD behaviour = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                      : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (multithreaded == 1) {
        behaviour |= D3DCREATE_MULTITHREADED;
    }

    LPDIRECT3DDEVICE9 device = nullptr;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, behaviour, &g_d3dpp, &device);
    if (SUCCEEDED(hr)) {
        g_bHalDevice = 1;
    } else {
        hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, hWnd, behaviour, &g_d3dpp, &device);
        if (FAILED(hr)) {
            if (report) {
                fclose(report);
            }
            return hr;
        }
        g_bRefDevice = 1;
    }
    *ppDevice = device;

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, static_cast<float>(layout::kFieldOfViewY),
                               static_cast<float>(g_d3dpp.BackBufferWidth) / g_d3dpp.BackBufferHeight,
                               static_cast<float>(layout::kNearPlane), static_cast<float>(layout::kFarPlane));
    device->SetTransform(D3DTS_PROJECTION, &projection);
    Report(report, "DEVICE TYPE %s\n", g_bHalDevice == 1 ? "D3DDEVTYPE_HAL" : "D3DDEVTYPE_REF");

    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);

    Report(report, "b2SidedStencils %s\n", (caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED) ? "true" : "false");
    Report(report, "psVersion %s\n", caps.PixelShaderVersion >= D3DPS_VERSION(2, 0) ? "true" : "false");
    if (report) {
        fclose(report);
    }
    return S_OK;
}
