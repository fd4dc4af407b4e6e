// The small layer that stands in for platform functions Wine lacks. Every function here is used only
// where the platform's own is missing; elsewhere the real one is called.
#pragma once

#include <windows.h>

// True when the program runs under Wine (told by ntdll's wine_get_version, since some of the missing
// functions abort the process when called and cannot be probed).
bool IsRunningOnWine();

struct IDirectInputDevice8A;

// IDirectInputDevice8A::GetDeviceState, answering DIERR_INPUTLOST for a device the system took away
// when the window lost the foreground, as Windows does. Only for a device the caller acquired and has
// not unacquired itself: on Wine such a device then reads DIERR_NOTACQUIRED, which is mapped here.
HRESULT GetDeviceStateReportingLoss(IDirectInputDevice8A* device, DWORD size, void* data);
