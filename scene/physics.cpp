// A frame's physical description taken from a mesh (bounds, mass, inertia, corners, id), changes of a
// mesh's vertices in place, the point, sphere, ray and triangle tests, the distance along a ray to
// another frame's mesh, and collision objects in the collision library.
#include "services/device.h"
#include "platform/platform.h"
#include "scene/frame.h"

#include <cfloat>
#include <cmath>

int g_NextObjectId = 0;

namespace {

constexpr float kDensity = 100.0f;
constexpr float kTwelfth = 0.0833333358f; // 1/12 as a float
constexpr float kParallelLimit = 0.0001f;

// What the distance functions give when the ray meets nothing, or there is nothing to meet.
constexpr float kNoHit = FLT_MAX;

bool IsFinite(const D3DXMATRIX& m) {
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(m[i])) {
            return false;
        }
    }
    return true;
}

DWORD VertexStride(ID3DXMesh* mesh) {
    return D3DXGetFVFVertexSize(mesh->GetFVF());
}

// Runs `change` on the position (the first three floats) of every vertex of the container's mesh.
template <typename Change> HRESULT ChangePositions(CMeshContainer* container, Change change) {
    if (!container || !container->MeshData.pMesh) {
        return D3DERR_INVALIDCALL;
    }
    ID3DXMesh* mesh = container->MeshData.pMesh;
    const DWORD count = mesh->GetNumVertices();
    const DWORD stride = VertexStride(mesh);
    VertexLock lock(mesh, 0);
    if (!lock.IsLocked()) {
        return lock.Failure();
    }
    BYTE* const vertices = lock.Data<BYTE>();
    for (DWORD i = 0; i < count; ++i) {
        change(reinterpret_cast<D3DXVECTOR3*>(vertices + i * stride));
    }
    const HRESULT hr = lock.Unlock();
    return FAILED(hr) ? hr : S_OK;
}

// The distance from (x, y, z) along `direction` to the first mesh of `target`, the ray taken into the
// mesh's space by the device's current WORLD transform.
float DistanceToMesh(float x, float y, float z, D3DXVECTOR3 direction, const CFrame& target) {
    if (!target.pFirstMeshContainer || !target.pFirstMeshContainer->MeshData.pMesh) {
        return kNoHit;
    }
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    if (g_pd3dDevice) {
        g_pd3dDevice->GetTransform(D3DTS_WORLD, &world);
    }
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &world)) {
        return kNoHit;
    }
    D3DXMATRIX transposed;
    D3DXMatrixTranspose(&transposed, &world);
    D3DXVECTOR3 origin(x, y, z);
    D3DXVec3TransformCoord(&origin, &origin, &inverse);
    D3DXVec3TransformNormal(&direction, &direction, &transposed);

    BOOL hit = FALSE;
    float distance = kNoHit;
    if (FAILED(Intersect(target.pFirstMeshContainer->MeshData.pMesh, &origin, &direction, &hit, nullptr,
                         nullptr, nullptr, &distance, nullptr, nullptr)) ||
        !hit) {
        return kNoHit;
    }
    return distance;
}

// Hands the triangles of a mesh of bare positions to the collision object and finishes it; a lock's
// failure (E_FAIL for a lock that handed out no pointer) leaves the object unfinished.
HRESULT AddTriangles(ID3DXMesh* mesh, CCollisionObject* object) {
    const MeshLocks locks(mesh, D3DLOCK_READONLY);
    if (!locks.AreLocked()) {
        return locks.Failure();
    }
    const D3DXVECTOR3* const vertices = locks.vertices.Data<D3DXVECTOR3>();
    const WORD* const indices = locks.indices.Data<WORD>();
    const DWORD vertexCount = mesh->GetNumVertices();
    const DWORD faceCount = mesh->GetNumFaces();
    for (DWORD f = 0; f < faceCount; ++f) {
        const WORD* face = indices + 3 * f;
        if (face[0] < vertexCount && face[1] < vertexCount && face[2] < vertexCount) {
            object->AddTriangle(vertices[face[0]], vertices[face[1]], vertices[face[2]]);
        }
    }
    object->Finish();
    return S_OK;
}

} // namespace

HRESULT OffsetMesh(CMeshContainer* container, float x, float y, float z) {
    const D3DXVECTOR3 offset(x, y, z);
    return ChangePositions(container, [&offset](D3DXVECTOR3* p) { *p += offset; });
}

HRESULT ScaleMesh(CMeshContainer* container, float factor) {
    return ChangePositions(container, [factor](D3DXVECTOR3* p) { *p *= factor; });
}

void CFrame::SetupPhysics(CMeshContainer* container) {
    if (!container || !container->MeshData.pMesh) {
        return;
    }
    ID3DXMesh* mesh = container->MeshData.pMesh;
    const DWORD count = mesh->GetNumVertices();
    const DWORD stride = VertexStride(mesh);
    VertexLock lock(mesh, D3DLOCK_READONLY);
    if (!lock.IsLocked()) {
        return; // nothing to measure: the frame keeps what it had
    }
    const D3DXVECTOR3* const vertices = lock.Data<D3DXVECTOR3>();
    D3DXComputeBoundingBox(vertices, count, stride, &boxMin, &boxMax);
    D3DXComputeBoundingSphere(vertices, count, stride, &sphereCentre, &radius);
    D3DXMATRIX toCentre;
    D3DXMATRIX scale;
    // A mesh of one point has radius 0: it is only moved to the origin (scale 1), not blown up.
    const float s = radius > 0.0f && std::isfinite(1.0f / radius) ? 1.0f / radius : 1.0f;
    D3DXMatrixTranslation(&toCentre, -sphereCentre.x, -sphereCentre.y, -sphereCentre.z);
    D3DXMatrixScaling(&scale, s, s, s);
    D3DXMatrixMultiply(&normalisation, &toCentre, &scale);
    lock.Unlock();

    const float dx = std::fabs(boxMax.x - boxMin.x);
    const float dy = std::fabs(boxMax.y - boxMin.y);
    const float dz = std::fabs(boxMax.z - boxMin.z);
    extents = D3DXVECTOR3(dx, dy, dz);
    mass = dx * dy * dz * kDensity;

    // The pairs are x-y, y-z, x-z, in this order (not the usual y-z, x-z, x-y).
    inertiaTerms[0] = (dx * dx + dy * dy) * mass * kTwelfth;
    inertiaTerms[1] = (dy * dy + dz * dz) * mass * kTwelfth;
    inertiaTerms[2] = (dx * dx + dz * dz) * mass * kTwelfth;
    inertiaTensor._11 = inertiaTerms[0];
    inertiaTensor._22 = inertiaTerms[1];
    inertiaTensor._33 = inertiaTerms[2];
    inertiaTensor._12 = inertiaTensor._13 = 0.0f;
    inertiaTensor._21 = inertiaTensor._23 = 0.0f;
    inertiaTensor._31 = inertiaTensor._32 = 0.0f;
    // The tensor's fourth row and column are left as they were; the inverse is taken of the 3 x 3 part
    // (with a unit fourth row and column), which a zero there would otherwise make singular.
    D3DXMATRIX tensor3 = inertiaTensor;
    tensor3._14 = tensor3._24 = tensor3._34 = 0.0f;
    tensor3._41 = tensor3._42 = tensor3._43 = 0.0f;
    tensor3._44 = 1.0f;
    // A flat or point mesh has no volume and so no mass and no inertia: its inverse is the zero 3 x 3
    // part (torque does not turn it), never an inverse left from an earlier set-up.
    if (!D3DXMatrixInverse(&inverseInertiaTensor, nullptr, &tensor3) || !IsFinite(inverseInertiaTensor)) {
        D3DXMatrixScaling(&inverseInertiaTensor, 0.0f, 0.0f, 0.0f);
    }

    if (dz >= dy && dz >= dx) {
        radius = 0.5f * dz;
    } else if (dy >= dz && dy >= dx) {
        radius = 0.5f * dy;
    } else {
        radius = 0.5f * dx;
    }
    objectId = g_NextObjectId++;
}

void CFrame::ComputeBoundingSphere(CMeshContainer* container) {
    if (!container || !container->MeshData.pMesh) {
        return;
    }
    ID3DXMesh* mesh = container->MeshData.pMesh;
    const VertexLock lock(mesh, D3DLOCK_READONLY);
    if (!lock.IsLocked()) {
        return;
    }
    D3DXComputeBoundingSphere(lock.Data<D3DXVECTOR3>(), mesh->GetNumVertices(), VertexStride(mesh),
                              &sphereCentre, &radius);
}

void CFrame::UpdateBoxCorners() {
    const D3DXVECTOR3 h = 0.5f * extents;
    const D3DXVECTOR3& p = position;
    // Signs of x, y, z for each corner, in the order callers index them.
    constexpr float kSigns[8][3] = {{1, 1, -1},  {1, 1, 1},  {1, -1, 1},  {1, -1, -1},
                                    {-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}, {-1, -1, -1}};
    for (int i = 0; i < 8; ++i) {
        boxCorners[i] =
            D3DXVECTOR3(p.x + kSigns[i][0] * h.x, p.y + kSigns[i][1] * h.y, p.z + kSigns[i][2] * h.z);
    }
}

bool PointInBox(const D3DXVECTOR3* point, const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax) {
    return boxMin->x < point->x && point->x < boxMax->x && boxMin->y < point->y && point->y < boxMax->y &&
           boxMin->z < point->z && point->z < boxMax->z;
}

bool PointInSphere(const D3DXVECTOR3* centre, D3DXVECTOR3 point, float radius) {
    const D3DXVECTOR3 d = point - *centre;
    return D3DXVec3LengthSq(&d) < radius * radius;
}

bool SpheresTouch(const D3DXVECTOR3* firstCentre, float firstRadius, D3DXVECTOR3 secondCentre,
                  float secondRadius) {
    const D3DXVECTOR3 d = secondCentre - *firstCentre;
    const float reach = firstRadius + secondRadius;
    return D3DXVec3LengthSq(&d) < reach * reach;
}

bool RaySphere(D3DXVECTOR3 origin, D3DXVECTOR3 direction, D3DXVECTOR3 centre, float radius) {
    const D3DXVECTOR3 toCentre = centre - origin;
    const float s = D3DXVec3Dot(&toCentre, &direction);
    if (s < 0.0f) {
        return false;
    }
    const float m2 = D3DXVec3Dot(&toCentre, &toCentre) - s * s;
    const float r2 = radius * radius;
    if (m2 > r2) {
        return false;
    }
    return s - std::sqrt(r2 - m2) >= 0.0f;
}

bool IntersectTriangle(const D3DXVECTOR3* origin, const D3DXVECTOR3* direction, const D3DXVECTOR3* a,
                       const D3DXVECTOR3* b, const D3DXVECTOR3* c, float* t, float* u, float* v) {
    const D3DXVECTOR3 e1 = *b - *a;
    const D3DXVECTOR3 e2 = *c - *a;
    D3DXVECTOR3 p(0.0f, 0.0f, 0.0f);
    D3DXVec3Cross(&p, direction, &e2);
    float det = D3DXVec3Dot(&e1, &p);
    D3DXVECTOR3 tv;
    if (det > 0.0f) {
        tv = *origin - *a;
    } else {
        tv = *a - *origin;
        det = -det;
    }
    if (det < kParallelLimit) {
        return false;
    }
    const float uu = D3DXVec3Dot(&tv, &p);
    if (uu < 0.0f || uu > det) {
        return false;
    }
    D3DXVECTOR3 q(0.0f, 0.0f, 0.0f);
    D3DXVec3Cross(&q, &tv, &e1);
    const float vv = D3DXVec3Dot(direction, &q);
    if (vv < 0.0f || uu + vv > det) {
        return false;
    }
    const float f = 1.0f / det;
    *t = D3DXVec3Dot(&e2, &q) * f;
    *u = uu * f;
    *v = vv * f;
    return true;
}

float CFrame::DistanceBelow(float x, float y, float z, CFrame target) {
    collided = 0;
    return DistanceToMesh(x, y, z, D3DXVECTOR3(0.0f, -1.0f, 0.0f), target);
}

float DistanceAlong(float x, float y, float z, CFrame target, float angle) {
    return DistanceToMesh(x, y, z, D3DXVECTOR3(std::cos(angle), 0.0f, std::sin(angle)), target);
}

HRESULT CFrame::BuildCollisionObject(CMeshContainer* container) {
    // A new object replaces the pointer; the frame never releases one.
    pCollisionObject = newCollisionObject();
    if (!pCollisionObject) {
        return E_OUTOFMEMORY;
    }
    if (!container || !container->MeshData.pMesh) {
        return D3DERR_INVALIDCALL;
    }
    ID3DXMesh* clone = nullptr;
    HRESULT hr =
        container->MeshData.pMesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ, g_pd3dDevice, &clone);
    if (FAILED(hr)) {
        return hr;
    }
    hr = AddTriangles(clone, pCollisionObject);
    clone->Release();
    return hr;
}

void CFrame::TestCollision(CFrame* other, int value) {
    // Both frames need their objects; without them nothing collides.
    if (!other || !pCollisionObject || !other->pCollisionObject) {
        return;
    }
    const bool hit = pCollisionObject->TestAgainst(other->pCollisionObject, value);
    collided = (collided || hit) ? 1 : 0;
    other->collided = (other->collided || hit) ? 1 : 0;
}
