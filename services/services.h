// The shared services every layer above uses: the window and the Direct3D device, the settings report,
// the log and debugger messages, the program clock, picture files, surfaces and screenshots, timing, the
// value list, sprite pictures. This header gathers the components' own headers for callers that
// use several; include a component's header where one is enough. The hooks that let the tests and the
// benchmark feed their own clocks are in services/test_seams.h.
#pragma once

#include "services/clock.h"
#include "services/device.h"
#include "services/log.h"
#include "services/picture_file.h"
#include "services/safe_release.h"
#include "services/settings.h"
#include "services/sprite_picture.h"
#include "services/surface.h"
#include "services/timing.h"
#include "services/value_list.h"
