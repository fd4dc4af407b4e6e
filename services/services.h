// The shared services every layer above uses: the window and the Direct3D device, the settings report,
// the log and debugger messages, surfaces and screenshots, sprite pictures, timing, the value list and the
// program clock. The hooks that let the tests and the benchmark feed their own clocks are in
// services/test_seams.h.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <cstdio>

// ---- Window and device ----
extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
extern const int g_ScreenWidth;  // 1024: the base of every percentage layout
extern const int g_ScreenHeight; // 768
extern LPDIRECT3D9 g_pD3D;
extern LPDIRECT3DDEVICE9 g_pd3dDevice;
// The screens' shared sprite and its scaling.
extern LPD3DXSPRITE g_pSprite;
extern D3DXMATRIX g_SpriteMatrix;

// ---- Device set-up and settings report ----
extern int g_DeviceWidth;
extern int g_DeviceHeight;
extern int g_DeviceBpp;
extern D3DPRESENT_PARAMETERS g_d3dpp;
extern BYTE g_bHalDevice;
extern BYTE g_bRefDevice;

HRESULT InitD3D(LPDIRECT3D9* ppD3D, LPDIRECT3DDEVICE9* ppDevice, HWND hWnd, int forceWindowed,
                int multithreaded);

// ---- Log file and debugger error output ----
extern char g_LogFileName[8];
extern FILE* g_LogFile;
extern char g_LogWordBuf[256];

bool OpenLogFile();
void LogWrite(const char* text);
int CloseLogFile();
void ErrorOut(const char* text);
// A set-up failure told to the player and the debugger: a box captioned "Errore" showing boxText, then
// ErrorOut(debugText). Returns E_FAIL for the caller to hand on.
HRESULT SetUpFailure(HWND hWnd, const char* boxText, const char* debugText);

// ---- Surfaces and screenshots ----
// Writes the part of the display that the window covers, frame included, as a BMP file.
bool SaveScreenshot(const char* fileName);
// The CPU drawing works on locked 32-bit pixel memory: pixel (x, y) is element y * (pitch / 4) + x.
// Memory for these two holds at least g_ScreenHeight rows of the pitch; nothing is written outside
// the screen's area or past the end of a row.
void SetPixel32(int x, int y, DWORD colour, int pitch, DWORD* pixels);
void FillRect32(const RECT* rect, DWORD colour, int pitch, DWORD* pixels);
void ClearRect(const D3DRECT* rect, D3DCOLOR colour, IDirect3DDevice9* device);
// A .bmp file in a new X8R8G8B8 system-memory surface, which the caller owns (even when the last
// step fails and E_FAIL comes back). A spoiled BMP fails at the first step, as a missing file does.
HRESULT LoadBitmapSurface(const char* path, IDirect3DSurface9** ppSurface, IDirect3DDevice9* device);
// Copies a block of pixels between 32-bit surfaces; a null rectangle is the whole source, a null
// point (0, 0). With the key on, source pixels equal to the key leave the destination as it was.
// The block is cut to what lies inside both surfaces.
HRESULT CopySurfaceKeyed(const RECT* srcRect, IDirect3DSurface9* src, const POINT* dstPoint,
                         IDirect3DSurface9* dst, int useKey, DWORD key);

// ---- Timing, frame counters and the value list ----
extern LARGE_INTEGER g_PerfFrequency;
extern LARGE_INTEGER g_PerfLastCount;
extern int g_FrameCount;
extern int g_FPS;
extern char g_FPSText[12];
extern int g_TickFrameCount;
extern DWORD g_TickLastUpdate;
extern float g_TickFPS;

HRESULT InitTimer();
void CountFrame(); // one frame of g_FPS, measured with the performance counter
float GetFPS();    // one frame, and the rate over the last period of at least a second

class ValueListNode {
public:
    ValueListNode* GetNext() const { return pNext; }

    DWORD value;
    ValueListNode* pNext;
};

// The head exists from static initialisation on (null only if it could not be allocated); a head
// holding 0 is an empty list. Nodes are never freed.
// Defined in game/static_objects.cpp, whose order of construction matters: a known reach upward.
extern ValueListNode* g_ValueList;
ValueListNode* InitValueList(); // a new empty head, or null when it cannot be allocated

namespace ValueList {
// Keeps the order of the appends; a value that finds no memory for its node is dropped.
void Append(DWORD value);
} // namespace ValueList

// ---- The program clock ----
// Every stage and game rule reads the time here (timeGetTime unless a test feeds its own source).
DWORD CurrentTime();

// ---- Sprite pictures ----
// Loads a sprite picture whose opaque black is transparent; a failure (a spoiled BMP included) is
// reported on the debugger and leaves *texture null.
void LoadSpriteTexture(const char* file, LPDIRECT3DTEXTURE9* texture);
// Makes a control's own sprite in place of an earlier one; a failure is reported on the debugger.
void CreateSprite(LPD3DXSPRITE* sprite);

// Releases a COM interface if it exists and clears the pointer.
template <typename T> inline void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}
