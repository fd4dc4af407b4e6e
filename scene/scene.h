// The 3D scene: mesh containers and their loaders, X-file hierarchies, frames, the camera, the effect
// wrapper and the math they share. This header gathers the components' own headers for callers that use
// several; include a component's header where one is enough.
#pragma once

#include "scene/camera.h"
#include "scene/effect.h"
#include "scene/frame.h"
#include "scene/hierarchy.h"
#include "scene/math.h"
#include "scene/mesh_container.h"
#include "scene/mesh_loader.h"
