// The small layer that stands in for platform functions Wine lacks. Every function here is used only
// where the platform's own is missing; elsewhere the real one is called.
#pragma once

#include <windows.h>

// True when the program runs under Wine (told by ntdll's wine_get_version, since some of the missing
// functions abort the process when called and cannot be probed).
bool IsRunningOnWine();
