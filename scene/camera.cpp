// The free-look camera.
#include "scene/scene.h"

CCamera::CCamera() {}
