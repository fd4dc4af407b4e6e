// Scene frames: the world matrix, the child and container lists, drawing, sub-meshes from .x files,
// and the physical set-up with its intersection and collision tests.
#pragma once

#include <windows.h>
#include <d3dx9.h>

#include "collision/collision.h"
#include "scene/mesh_container.h"

using FrameUpdateCallback = void (*)(CFrame* frame, int userValue);

constexpr int kMaxSubMeshes = 500;

// A scene object: position and yaw, pitch and roll give its world matrix; it draws its mesh containers
// with it after its children. A frame owns nothing it points to. The record is large (500 sub-mesh
// slots), so frames live in static storage; the constructor leaves the physics and sub-mesh data as it
// finds them, so a frame anywhere else must start zero-filled.
class CFrame {
public:
    CFrame();
    ~CFrame() {}

    void SetNextSibling(CFrame* frame) { pNextSibling = frame; }
    CFrame* GetNextSibling() const { return pNextSibling; }
    void SetParent(CFrame* frame) { pParent = frame; }
    HRESULT SetUpdateCallback(FrameUpdateCallback callback);
    // Appends to the child list; the child's own sibling chain follows it.
    HRESULT AddChild(CFrame* child);
    // Appends to the container list and makes this frame the container's owner.
    HRESULT AddMeshContainer(CMeshContainer* container);
    // world = local x Rz(roll) x Rx(pitch) x Ry(yaw) x T(position), also set as the device's WORLD.
    // The parent is not combined.
    void UpdateWorldMatrix();
    void GetWorldMatrix(D3DXMATRIX* matrix);
    void GetPosition(float* x, float* y, float* z) const;
    void SetPosition(float x, float y, float z);
    void GetVelocity(float* x, float* y, float* z) const;
    void SetVelocity(float x, float y, float z);
    void GetUserVector(float* x, float* y, float* z) const;
    void SetUserVector(float x, float y, float z);
    // Children first (always with textures), then this frame's containers with useTextures.
    HRESULT Render(bool useTextures);

    // Physical set-up from a container's mesh: box and sphere bounds, the normalisation matrix (to the
    // unit sphere), extents, mass (volume x 100), inertia terms (x-y, y-z, x-z pairs), radius (half the
    // largest extent) and the next object id. A mesh of one point (radius 0) gets a normalisation that
    // only moves it to the origin; a flat or point mesh (mass 0) gets a zero inverse inertia tensor.
    void SetupPhysics(CMeshContainer* container);
    void ComputeBoundingSphere(CMeshContainer* container);
    // The eight corners of the axis-aligned box of the extents around the position (angles ignored).
    void UpdateBoxCorners();
    // The distance straight down (-y) from the point to the target's first mesh, the ray taken into mesh
    // space by the device's current WORLD transform; FLT_MAX when it meets nothing. Clears `collided`.
    float DistanceBelow(float x, float y, float z, CFrame target);
    // A collision object in the collision library from the mesh's triangles; a new object replaces the
    // old pointer (never released). On a failure the object stays empty and unfinished.
    HRESULT BuildCollisionObject(CMeshContainer* container);
    // Sets `collided` on both frames when their collision objects meet; needs both objects built.
    void TestCollision(CFrame* other, int value);

    // Fills the sub-mesh slots from every Mesh object of an X file (at most kMaxSubMeshes); 1 when the
    // file was read, 0 when it could not be opened. `value` is passed down the walk untouched.
    int LoadFromX(const char* fileName, IDirect3DDevice9* device, DWORD value);
    int LoadSubMeshes(ID3DXFileData* node, DWORD depth, DWORD value, bool isReference,
                      IDirect3DDevice9* device);
    // Puts a loaded mesh in the next sub-mesh slot, which keeps the caller's reference, with its bounding
    // sphere and the sphere's centre placed at the frame's position. False, with no slot taken and the
    // mesh left to the caller, when the slots are full or its vertices cannot be read.
    bool AddSubMesh(ID3DXMesh* mesh);

    int userValue;
    D3DXMATRIX world;
    D3DXMATRIX worldCopy;
    D3DXMATRIX local;
    D3DXMATRIX normalisation;
    D3DXVECTOR3 extents;
    float yaw;
    float pitch;
    float roll;
    float inertiaTerms[3];
    int objectId;
    int colourIndex;
    BYTE visible;
    BYTE flags[2];
    int lastSubMeshIndex;
    int subMeshCount;
    D3DXVECTOR3 subMeshCentres[kMaxSubMeshes];
    float subMeshRadii[kMaxSubMeshes];
    D3DXVECTOR3 subMeshPlacedCentres[kMaxSubMeshes];
    ID3DXMesh* subMeshes[kMaxSubMeshes];
    float mass;
    D3DXMATRIX inertiaTensor;
    D3DXMATRIX inverseInertiaTensor;
    D3DXVECTOR3 position;
    D3DXVECTOR3 velocity;
    // Motion state: read by nothing yet.
    D3DXVECTOR3 motionVectors[5];
    float motionScalar;
    D3DXQUATERNION motionRotation;
    D3DXVECTOR3 motionExtra[2];
    float radius;
    D3DXVECTOR3 boxCorners[8];
    D3DXVECTOR3 boxMin;
    D3DXVECTOR3 boxMax;
    D3DXVECTOR3 sphereCentre;
    CMeshContainer* pFirstMeshContainer;
    CCollisionObject* pCollisionObject;
    BYTE collided;
    D3DXVECTOR3 userVector;
    CFrame* pNextSibling;
    CFrame* pFirstChild;
    CFrame* pParent;
    FrameUpdateCallback pUpdateCallback;
    int callbackSet;
};

// ---- Frame geometry ----

extern int g_NextObjectId; // the object id SetupPhysics gives next

// Change the positions (first three floats) of a container's mesh in place. D3DERR_INVALIDCALL without
// a mesh; vertices that cannot be written are left as they are, with the lock's failure, or E_FAIL for
// a lock that hands out no pointer.
HRESULT OffsetMesh(CMeshContainer* container, float x, float y, float z);
HRESULT ScaleMesh(CMeshContainer* container, float factor);
// Strict tests: a point on the surface is outside, spheres that only touch do not touch.
bool PointInBox(const D3DXVECTOR3* point, const D3DXVECTOR3* boxMin, const D3DXVECTOR3* boxMax);
bool PointInSphere(const D3DXVECTOR3* centre, D3DXVECTOR3 point, float radius);
bool SpheresTouch(const D3DXVECTOR3* firstCentre, float firstRadius, D3DXVECTOR3 secondCentre,
                  float secondRadius);
// A ray (unit direction) against a sphere ahead of its origin; an origin inside gives false.
bool RaySphere(D3DXVECTOR3 origin, D3DXVECTOR3 direction, D3DXVECTOR3 centre, float radius);
// Möller-Trumbore, both windings: the distance t and barycentric u, v of the hit.
bool IntersectTriangle(const D3DXVECTOR3* origin, const D3DXVECTOR3* direction, const D3DXVECTOR3* a,
                       const D3DXVECTOR3* b, const D3DXVECTOR3* c, float* t, float* u, float* v);
// As CFrame::DistanceBelow along (cos angle, 0, sin angle), touching no frame.
float DistanceAlong(float x, float y, float z, CFrame target, float angle);
