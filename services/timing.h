// Two frames-per-second counters, and the global list of 32-bit values.
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
