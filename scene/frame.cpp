// Scene frames.
#include "scene/scene.h"

CFrame::CFrame() {}
