// Two frames-per-second counters.
#pragma once

#include <windows.h>

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
