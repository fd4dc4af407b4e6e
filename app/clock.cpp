// The program clock: timeGetTime, unless a test has fed its own source.
#include "app/app.h"

#include <mmsystem.h>

namespace {
TimeSource s_timeSource = nullptr;
}

DWORD CurrentTime() { return s_timeSource ? s_timeSource() : timeGetTime(); }

void SetTimeSource(TimeSource source) { s_timeSource = source; }
