// The screen every layout is made for and the projection of the 3D view. Plain C++ with no platform
// header: the asset generator includes it too, so the play background shows the board where the
// device projects it.
#pragma once

namespace layout {

constexpr int kScreenWidth = 1024; // the base of every percentage layout
constexpr int kScreenHeight = 768;

// The perspective projection: vertical field of view pi / 4 and the near and far planes; the aspect is
// the back buffer's. In double for the generator, which projects in double; the device narrows them.
constexpr double kFieldOfViewY = 3.14159265358979323846 / 4.0;
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 10000.0;

} // namespace layout
