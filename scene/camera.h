// The free-look camera that sets the device's view.
#pragma once

#include <windows.h>
#include <d3dx9.h>

// A free-look camera: a position and three axes, moved and turned by per-update rates, that sets the
// device's VIEW transform.
class CCamera {
public:
    CCamera();
    ~CCamera() {}

    void Reset();
    // Copies the axes, position, move and steps; not the view matrix or the three values.
    CCamera& CopyFrom(const CCamera& other);
    // Moves along the axes by `move`, rebuilds the axes square to look, turns them by the steps and
    // sets the view.
    void UpdateView();
    // Moves along the world axes.
    void Move(float x, float y, float z);

    void SetPosition(float x, float y, float z) { position = D3DXVECTOR3(x, y, z); }
    void SetLook(float x, float y, float z) { look = D3DXVECTOR3(x, y, z); }
    void SetUp(float x, float y, float z) { up = D3DXVECTOR3(x, y, z); }
    void SetRight(float x, float y, float z) { right = D3DXVECTOR3(x, y, z); }
    void SetMove(float x, float y, float z) { move = D3DXVECTOR3(x, y, z); }
    void GetPosition(float* x, float* y, float* z) const { CopyOut(position, x, y, z); }
    void GetLook(float* x, float* y, float* z) const { CopyOut(look, x, y, z); }
    void GetUp(float* x, float* y, float* z) const { CopyOut(up, x, y, z); }
    void GetRight(float* x, float* y, float* z) const { CopyOut(right, x, y, z); }
    void GetMove(float* x, float* y, float* z) const { CopyOut(move, x, y, z); }
    void SetRoll(float step) { rollStep = step; }
    void SetPitch(float step) { pitchStep = step; }
    void SetYaw(float step) { yawStep = step; }
    void GetRoll(float* step) const { *step = rollStep; }
    void GetPitch(float* step) const { *step = pitchStep; }
    void GetYaw(float* step) const { *step = yawStep; }

    D3DXMATRIX view; // left unset until the first update
    float rollStep;  // radians per update, about look
    float pitchStep; // about right
    float yawStep;   // about up
    float values[3]; // 5.0 each; read by nothing
    D3DXVECTOR3 position;
    D3DXVECTOR3 look;
    D3DXVECTOR3 up;
    D3DXVECTOR3 right;
    D3DXVECTOR3 move; // per update along right (x), up (y) and look (z)

private:
    static void CopyOut(const D3DXVECTOR3& v, float* x, float* y, float* z) {
        *x = v.x;
        *y = v.y;
        *z = v.z;
    }
};

// Defined in game/static_objects.cpp, whose order of construction matters: a known reach upward.
extern CCamera g_Camera;
