// The benchmark: the game's own start-up, title screen, scene loading and play screen on the real
// device, timed in one run. Prints the median frame times, their ratios, the set-up times and the
// process's peak memory. Run from a folder laid out as the game's (bin/ beside Data/ and Immagini/).
#include "game/game.h"
#include "input/input.h"
#include "scene/scene.h"
#include "services/clock.h"
#include "services/device.h"
#include "services/test_seams.h"
#include "shell/shell.h"
#include "shell/stage_hooks.h"
#include "ui/button.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kWarmUpFrames = 20;
constexpr int kMeasuredFrames = 200;
constexpr int kShownPegs = kMaxPegs - 1; // the 95th peg ends the game and hides them all
constexpr DWORD kClickStep = kClickInterval + 50;
const char kShotFile[] = "bench_pegs.bmp";

double s_ticksPerMs = 0.0;

double NowMs() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / s_ticksPerMs;
}

// Takes what the window's queue holds, as the game's loop does between frames.
void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The median time of each frame function, after a few frames of each that are not counted. The
// functions take turns, so that a change in the machine's load falls on all of them alike.
std::vector<double> MedianFrameMs(const std::vector<std::function<void()>>& frames) {
    std::vector<std::vector<double>> times(frames.size());
    for (int i = 0; i < kWarmUpFrames + kMeasuredFrames; ++i) {
        for (size_t f = 0; f < frames.size(); ++f) {
            PumpMessages();
            const double start = NowMs();
            frames[f]();
            if (i >= kWarmUpFrames) {
                times[f].push_back(NowMs() - start);
            }
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& list : times) {
        std::nth_element(list.begin(), list.begin() + kMeasuredFrames / 2, list.end());
        medians.push_back(list[kMeasuredFrames / 2]);
    }
    return medians;
}

void BareFrame() {
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

// Answers the full-screen question No at once, as a player who plays in a window would.
LRESULT CALLBACK AnswerNo(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND dialog = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(dialog, className, sizeof(className));
        if (strcmp(className, "#32770") == 0) {
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDNO)));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Milliseconds from the creation of this process to now.
double SinceProcessStartMs() {
    FILETIME created;
    FILETIME unused[3];
    FILETIME now;
    GetProcessTimes(GetCurrentProcess(), &created, &unused[0], &unused[1], &unused[2]);
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER a;
    ULARGE_INTEGER b;
    a.LowPart = created.dwLowDateTime;
    a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    return static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0; // 100 ns units
}

DWORD s_benchClock = 0;
DWORD BenchClock() {
    return s_benchClock;
}

// Plays pegs through the game's own frame: after one frame without a click, each frame one colour
// button reads as hovered and pressed, a click interval after the last. Every row misses the secret
// everywhere, so the game is neither won nor lost. True when `count` pegs stand on the board.
bool PlacePegs(int count) {
    s_benchClock = CurrentTime();
    SetTimeSource(BenchClock);
    // A frame is laid out before its peg is placed: the first frame places nothing.
    for (int i = -1; i < count; ++i) {
        for (CButton& button : g_ColourButtons) {
            button.isOver = false;
            button.isPressed = false;
        }
        if (i >= 0) {
            const int colour = (g_SecretCode[i % kCodeLength] + 1) % kColourCount;
            g_ColourButtons[colour].isOver = true;
            g_ColourButtons[colour].isPressed = true;
        }
        s_benchClock += kClickStep;
        PumpMessages();
        GameFrame();
    }
    SetTimeSource(nullptr);
    return g_PegCount == count && !g_bWon && !g_bLost;
}

// The frame just drawn, for a look at what was measured.
void SaveBackBuffer(const char* file) {
    IDirect3DSurface9* backBuffer = nullptr;
    if (SUCCEEDED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        D3DXSaveSurfaceToFileA(file, D3DXIFF_BMP, backBuffer, nullptr, nullptr);
        backBuffer->Release();
    }
}

DWORD FaceCount(const CMeshContainer* mesh) {
    return mesh && mesh->MeshData.pMesh ? mesh->MeshData.pMesh->GetNumFaces() : 0;
}

struct Figures {
    double startToLogo;
    double bare;
    double title;
    double loadScene;
    double playEmpty;
    double playPegs;
    size_t peakWorkingSet;
    size_t peakCommitted;
    DWORD pegFaces;
    DWORD boardFaces;
};

void Print(const Figures& f) {
    const double mb = 1024.0 * 1024.0;
    printf("Quorvantis 3D benchmark: windowed %d x %d, medians of %d frames\n", g_ScreenWidth, g_ScreenHeight,
           kMeasuredFrames);
    printf("  %-40s %9.1f ms\n", "start to the first logo frame", f.startToLogo);
    printf("  %-40s %9.2f ms\n", "bare Clear + Present frame", f.bare);
    printf("  %-40s %9.2f ms  %5.2f x bare\n", "title screen frame", f.title, f.title / f.bare);
    printf("  %-40s %9.1f ms\n", "LoadScene", f.loadScene);
    printf("  %-40s %9.2f ms  %5.2f x bare\n", "play screen frame, no pegs", f.playEmpty,
           f.playEmpty / f.bare);
    printf("  %-40s %9.2f ms  %5.2f x no pegs\n", "play screen frame, 94 pegs", f.playPegs,
           f.playPegs / f.playEmpty);
    printf("  %-40s %9.1f MB working set, %.1f MB committed\n", "peak memory at the play screen",
           f.peakWorkingSet / mb, f.peakCommitted / mb);
    printf("  %-40s %9lu peg, %lu board\n", "mesh triangles", static_cast<unsigned long>(f.pegFaces),
           static_cast<unsigned long>(f.boardFaces));
}

} // namespace

int main() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    s_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    Figures figures = {};

    // Start-up as the game's entry runs it, up to the first logo frame.
    HINSTANCE instance = GetModuleHandleA(nullptr);
    CoInitialize(nullptr);
    g_hWnd = CreateGameWindow(instance);
    g_hInstance = instance;
    if (!g_hWnd) {
        fprintf(stderr, "bench: the window cannot be made\n");
        return 1;
    }
    HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerNo, nullptr, GetCurrentThreadId());
    const HRESULT graphics = InitGraphics(g_hWnd);
    UnhookWindowsHookEx(hook);
    if (FAILED(graphics)) {
        fprintf(stderr, "bench: the graphics start-up failed\n");
        return 1;
    }
    SplashRender();
    figures.startToLogo = SinceProcessStartMs();

    if (InitTitleStage(g_hWnd) != 1) {
        fprintf(stderr, "bench: the title screen's set-up failed\n");
        return 1;
    }
    const std::vector<double> splash = MedianFrameMs({BareFrame, TitleRender});
    figures.bare = splash[0];
    figures.title = splash[1];

    const double loadStart = NowMs();
    const HRESULT scene = LoadScene(g_hWnd);
    figures.loadScene = NowMs() - loadStart;
    if (scene != 1) {
        fprintf(stderr, "bench: LoadScene failed\n");
        return 1;
    }
    ReleaseSplash();
    figures.pegFaces = FaceCount(g_pPegMesh);
    figures.boardFaces = FaceCount(g_pBoardMesh);

    if (!PlacePegs(kShownPegs)) {
        fprintf(stderr, "bench: %d pegs could not be placed (%d placed)\n", kShownPegs, g_PegCount);
        return 1;
    }
    // The empty board is the same frame with the placed pegs hidden.
    const auto showPegs = [](bool shown) {
        for (int i = 0; i < kShownPegs; ++i) {
            g_Pegs[i].visible = shown;
        }
    };
    const std::vector<double> play = MedianFrameMs({[&] {
                                                        showPegs(false);
                                                        GameRender();
                                                    },
                                                    [&] {
                                                        showPegs(true);
                                                        GameRender();
                                                    }});
    figures.playEmpty = play[0];
    figures.playPegs = play[1];
    SaveBackBuffer(kShotFile);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    figures.peakWorkingSet = memory.PeakWorkingSetSize;
    figures.peakCommitted = memory.PeakPagefileUsage;

    Print(figures);
    ShutDown(instance);
    return 0;
}
