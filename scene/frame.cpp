// Scene frames: the hierarchy links, the world matrix from position and angles, and drawing.
#include "services/device.h"
#include "services/log.h"
#include "scene/frame.h"

namespace {

// Links item after the last element of the list that *link starts (to *link itself when the list is
// empty), each element linking the next through its member `next`; item keeps its own `next`.
template <typename T> void AppendToList(T** link, T* item, T* T::*next) {
    while (*link) {
        link = &((*link)->*next);
    }
    *link = item;
}

} // namespace

CFrame::CFrame() {
    // Only these fields are set; the rest keep the zero fill of static storage.
    yaw = 0.0f;
    pitch = 0.0f;
    roll = 0.0f;
    radius = 0.0f;
    D3DXQuaternionRotationYawPitchRoll(&motionRotation, 0.0f, 0.0f, 0.0f);
    velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    // The fifth motion vector is left out on purpose: like the fields not named here, it keeps what
    // the storage held.
    for (int i = 0; i < 4; ++i) {
        motionVectors[i] = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    motionScalar = 0.0f;
    motionExtra[0] = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    motionExtra[1] = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXMatrixIdentity(&world);
    D3DXMatrixIdentity(&local);
    pFirstMeshContainer = nullptr;
    pCollisionObject = nullptr;
    pNextSibling = nullptr;
    pFirstChild = nullptr;
    pParent = nullptr;
    pUpdateCallback = nullptr;
    callbackSet = 0;
    collided = 0;
    visible = 0;
    flags[0] = 0;
    flags[1] = 0;
}

HRESULT CFrame::SetUpdateCallback(FrameUpdateCallback callback) {
    if (!callback) {
        pUpdateCallback = nullptr;
        callbackSet = 0;
        return E_FAIL;
    }
    pUpdateCallback = callback;
    callbackSet = 1;
    return S_OK;
}

HRESULT CFrame::AddChild(CFrame* child) {
    if (!child) {
        ErrorOut("Failed in attempt to add an invalid child frame");
        return E_FAIL;
    }
    child->pParent = this;
    AppendToList(&pFirstChild, child, &CFrame::pNextSibling);
    return S_OK;
}

HRESULT CFrame::AddMeshContainer(CMeshContainer* container) {
    if (!container) {
        return E_FAIL;
    }
    container->pOwnerFrame = this;
    AppendToList(&pFirstMeshContainer, container, &CMeshContainer::pNextInFrame);
    return S_OK;
}

void CFrame::UpdateWorldMatrix() {
    if (callbackSet && pUpdateCallback) {
        pUpdateCallback(this, userValue);
    }
    D3DXMATRIX t;
    D3DXMATRIX rx;
    D3DXMATRIX ry;
    D3DXMATRIX rz;
    D3DXMatrixTranslation(&t, position.x, position.y, position.z);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMATRIX a;
    D3DXMatrixMultiply(&a, &rx, &ry);
    D3DXMatrixMultiply(&a, &rz, &a);
    D3DXMatrixMultiply(&a, &local, &a);
    D3DXMatrixMultiply(&world, &a, &t);
    worldCopy = world;
    if (pCollisionObject) {
        pCollisionObject->SetTransform(&world);
    }
    if (g_pd3dDevice) {
        g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
    }
}

void CFrame::GetWorldMatrix(D3DXMATRIX* matrix) {
    UpdateWorldMatrix();
    *matrix = world;
}

void CFrame::GetPosition(float* x, float* y, float* z) const {
    *x = position.x;
    *y = position.y;
    *z = position.z;
}

void CFrame::SetPosition(float x, float y, float z) {
    position = D3DXVECTOR3(x, y, z);
}

void CFrame::GetVelocity(float* x, float* y, float* z) const {
    *x = velocity.x;
    *y = velocity.y;
    *z = velocity.z;
}

void CFrame::SetVelocity(float x, float y, float z) {
    velocity = D3DXVECTOR3(x, y, z);
}

void CFrame::GetUserVector(float* x, float* y, float* z) const {
    *x = userVector.x;
    *y = userVector.y;
    *z = userVector.z;
}

void CFrame::SetUserVector(float x, float y, float z) {
    userVector = D3DXVECTOR3(x, y, z);
}

HRESULT CFrame::Render(bool useTextures) {
    UpdateWorldMatrix();
    for (CFrame* child = pFirstChild; child; child = child->pNextSibling) {
        child->Render(true);
    }
    if (pFirstMeshContainer) {
        // The children left their own matrices on the device.
        if (g_pd3dDevice) {
            g_pd3dDevice->SetTransform(D3DTS_WORLD, &world);
        }
        for (CMeshContainer* c = pFirstMeshContainer; c; c = c->pNextInFrame) {
            RenderMeshContainer(c, useTextures);
        }
    }
    return S_OK;
}
