// Two frames-per-second counters: CountFrame on the performance counter, whose count DrawFPS shows,
// and GetFPS on GetTickCount. The stages measure their time with the program clock instead.
#include "services/timing.h"
#include "services/test_seams.h"

LARGE_INTEGER g_PerfFrequency = {};
LARGE_INTEGER g_PerfLastCount = {};
int g_FrameCount = 0;
int g_FPS = 0;
char g_FPSText[12] = {}; // room for any int in decimal
int g_TickFrameCount = 0;
DWORD g_TickLastUpdate = 0;
float g_TickFPS = 0.0f;

namespace {

constexpr LONGLONG kTicksPerSecond = 1000;

PerformanceSource s_queryFrequency = QueryPerformanceFrequency;
PerformanceSource s_queryCounter = QueryPerformanceCounter;
TickSource s_tickCount = GetTickCount;

// Written without the "ERROR: " prefix of the other failures.
void ReportNoHighResolutionTimer() {
    OutputDebugStringA("The system does not support high resolution timing");
    OutputDebugStringA("\n");
}

} // namespace

void SetTimerSources(PerformanceSource frequency, PerformanceSource counter, TickSource ticks) {
    s_queryFrequency = frequency ? frequency : QueryPerformanceFrequency;
    s_queryCounter = counter ? counter : QueryPerformanceCounter;
    s_tickCount = ticks ? ticks : GetTickCount;
}

HRESULT InitTimer() {
    s_queryFrequency(&g_PerfFrequency);
    if (g_PerfFrequency.QuadPart == 0) {
        ReportNoHighResolutionTimer();
        return E_FAIL;
    }
    return S_OK;
}

void CountFrame() {
    LARGE_INTEGER now = {};
    s_queryCounter(&now);
    if (now.QuadPart == 0) {
        ReportNoHighResolutionTimer();
    }
    ++g_FrameCount;
    // The first call after start closes a period at once: the last count is 0.
    if (now.QuadPart - g_PerfLastCount.QuadPart >= g_PerfFrequency.QuadPart) {
        g_FPS = g_FrameCount;
        g_FrameCount = 0;
        g_PerfLastCount = now;
    }
}

float GetFPS() {
    ++g_TickFrameCount;
    const DWORD now = s_tickCount();
    // Signed, so a clock read behind the last update does not count as a period.
    const LONG elapsed = static_cast<LONG>(now - g_TickLastUpdate);
    if (elapsed < kTicksPerSecond) {
        return g_TickFPS;
    }
    g_TickFPS = static_cast<float>(g_TickFrameCount * 1000.0 / elapsed);
    g_TickLastUpdate = now;
    g_TickFrameCount = 0;
    return g_TickFPS;
}
