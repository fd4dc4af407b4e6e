// The program clock.
#pragma once

#include <windows.h>

// Every stage and game rule reads the time here (timeGetTime unless a test feeds its own source).
DWORD CurrentTime();
