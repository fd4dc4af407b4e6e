// The program clock: timeGetTime, unless a test has fed its own source.
#include "services/clock.h"
#include "services/test_seams.h"

#include <mmsystem.h>

namespace {
TimeSource s_timeSource = nullptr;
}

DWORD CurrentTime() {
    return s_timeSource ? s_timeSource() : timeGetTime();
}

void SetTimeSource(TimeSource source) {
    s_timeSource = source;
}
