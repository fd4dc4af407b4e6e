// The platform sources behind the program clock and the frame counters, which the tests and the
// benchmark replace by their own to run the stages and counters on a fed time. The game never calls these.
#pragma once

#include <windows.h>

// A null source restores timeGetTime.
using TimeSource = DWORD (*)();
void SetTimeSource(TimeSource source);

// The performance counter and GetTickCount unless a test feeds its own; a null source restores the
// system's.
using PerformanceSource = BOOL(WINAPI*)(LARGE_INTEGER*);
using TickSource = DWORD(WINAPI*)();
void SetTimerSources(PerformanceSource frequency, PerformanceSource counter, TickSource ticks);
