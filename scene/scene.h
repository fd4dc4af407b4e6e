// The 3D scene: frames, mesh containers and the camera. What other subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

class CCamera {
public:
    CCamera();
};

class CFrame {
public:
    CFrame();
};

constexpr int kPegCount = 100;

extern CCamera g_Camera;
extern CFrame g_BoardFrame;
extern CFrame g_Pegs[kPegCount];
