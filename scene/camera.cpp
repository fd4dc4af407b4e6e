// The free-look camera: axes turned by per-update steps and the view matrix built from them.
#include "services/device.h"
#include "scene/camera.h"

// As Reset, but looking along -z, standing still, with the three unread values at 5.
CCamera::CCamera() {
    Reset();
    look = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
    move = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    values[0] = 5.0f;
    values[1] = 5.0f;
    values[2] = 5.0f;
}

// Looks along +z, where the constructor looks along -z; the move vector is kept.
void CCamera::Reset() {
    position = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
    look = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    rollStep = 0.0f;
    pitchStep = 0.0f;
    yawStep = 0.0f;
}

CCamera& CCamera::CopyFrom(const CCamera& other) {
    look = other.look;
    pitchStep = other.pitchStep;
    position = other.position;
    right = other.right;
    rollStep = other.rollStep;
    up = other.up;
    move = other.move;
    yawStep = other.yawStep;
    return *this;
}

void CCamera::Move(float x, float y, float z) {
    position += D3DXVECTOR3(x, y, z);
}

void CCamera::UpdateView() {
    position += right * move.x + up * move.y + look * move.z;

    // Square the axes to look before turning them; the turned axes are kept as they come out.
    D3DXVec3Normalize(&look, &look);
    D3DXVec3Cross(&right, &up, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Cross(&up, &look, &right);
    D3DXVec3Normalize(&up, &up);

    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &up, yawStep);
    D3DXVec3TransformCoord(&look, &look, &turn);
    D3DXVec3TransformCoord(&right, &right, &turn);
    D3DXMatrixRotationAxis(&turn, &right, pitchStep);
    D3DXVec3TransformCoord(&look, &look, &turn);
    D3DXVec3TransformCoord(&up, &up, &turn);
    D3DXMatrixRotationAxis(&turn, &look, rollStep);
    D3DXVec3TransformCoord(&right, &right, &turn);
    D3DXVec3TransformCoord(&up, &up, &turn);

    D3DXMatrixIdentity(&view);
    view._11 = right.x;
    view._12 = up.x;
    view._13 = look.x;
    view._21 = right.y;
    view._22 = up.y;
    view._23 = look.y;
    view._31 = right.z;
    view._32 = up.z;
    view._33 = look.z;
    view._41 = -D3DXVec3Dot(&position, &right);
    view._42 = -D3DXVec3Dot(&position, &up);
    view._43 = -D3DXVec3Dot(&position, &look);
    if (g_pd3dDevice) {
        g_pd3dDevice->SetTransform(D3DTS_VIEW, &view);
    }
}
