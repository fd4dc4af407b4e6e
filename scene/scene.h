// The 3D scene: mesh containers and their loaders, frames, the camera and the effect wrapper. What
// other subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

#include "collision/collision.h"

class CFrame;

// ---- Mesh containers ----

// One loaded mesh with what drawing it needs. Derives from the platform's record so that hierarchy
// loaders can chain containers through pNextMeshContainer, which every container owns: destroying the
// head destroys the chain. Created by the loaders below and destroyed with delete.
//
// Every owned array and string (Name, pMaterials with the texture names it points to, pEffects with
// its strings and values, pAdjacency, ppTextures, ppBoneMatrixPtrs, pBoneMatrices, pAttributeTable) is
// allocated with malloc or calloc, one block each, and the destructor frees it with free. The
// destructor also releases every interface the container holds, the buffers and declaration included.
class CMeshContainer : public D3DXMESHCONTAINER {
public:
    CMeshContainer();
    ~CMeshContainer();
    CMeshContainer(const CMeshContainer&) = delete;
    CMeshContainer& operator=(const CMeshContainer&) = delete;

    // First container of the pNextMeshContainer chain, this one included, named exactly `name`.
    CMeshContainer* Find(const char* name);

    // The owner frame's list, which the container does not own.
    void SetNextMeshContainer(CMeshContainer* next) { pNextInFrame = next; }
    CMeshContainer* GetNextMeshContainer() const { return pNextInFrame; }
    void SetOwnerFrame(CFrame* frame) { pOwnerFrame = frame; }

    IDirect3DTexture9** ppTextures;        // one per material, null where there is none
    ID3DXMesh* pSkinnedMesh;               // software-skinned copy, drawn instead of pMesh when set
    D3DXMATRIX** ppBoneMatrixPtrs;         // each bone's frame matrix (the matrices are not owned)
    D3DXMATRIX* pBoneMatrices;             // skinning results, one per bone
    D3DXMATRIX matTransform;               // set only by LoadMeshFromXWithMatrix
    D3DXATTRIBUTERANGE* pAttributeTable;   // NumMaterials ranges, for drawing by range
    IDirect3DVertexBuffer9* pVertexBuffer; // one reference
    IDirect3DIndexBuffer9* pIndexBuffer;   // one reference
    IDirect3DVertexDeclaration9* pVertexDeclaration;
    CFrame* pOwnerFrame;          // not owned
    CMeshContainer* pNextInFrame; // not owned
};

// Draws every subset with its material (and texture when useTextures). A translucent material
// (Diffuse.a not exactly 1) blends ONE / DESTCOLOR; the three blend states are restored only when the
// blending switch ended different from how it was found. Leaves culling off and stage 0 unbound.
HRESULT RenderMeshContainer(CMeshContainer* pContainer, bool useTextures);

// As RenderMeshContainer, but always with each material's texture, ignoring the container's vertex
// declaration, leaving culling and the last texture as they are.
HRESULT DrawMeshContainer(CMeshContainer* container);
// Draws pMesh's attribute ranges from its own buffers as indexed triangle lists with the caller's vertex
// shader and declaration (each range with its material's texture and blend rule; no material set).
// Leaves no stream, index buffer, shader or declaration set.
HRESULT DrawMeshContainerShader(CMeshContainer* container, IDirect3DVertexShader9* vertexShader,
                                IDirect3DVertexDeclaration9* declaration);
// Draw a pNextMeshContainer chain; the first failure ends the walk and is returned.
HRESULT DrawMeshContainerList(CMeshContainer* first);
HRESULT DrawMeshContainerListShader(CMeshContainer* first, IDirect3DVertexShader9* vertexShader,
                                    IDirect3DVertexDeclaration9* declaration);
// Each bone's matrix = its offset x its frame's matrix (the offset alone without a frame), then the
// skin moves pSkinnedMesh's vertices from pMesh's. E_FAIL without the skin, the meshes or the bone
// arrays; the skinning's own failure (D3DERR_INVALIDCALL for a skin naming vertices the meshes lack,
// with no vertex written); else S_OK.
HRESULT UpdateSkinnedMesh(CMeshContainer* container);

// ---- Loaders ----
// Each hands the new container out through its first argument as soon as it exists; the caller owns it.
// E_FAIL for a null or empty required argument, the platform's result when a load or a needed
// conversion fails.

// The game's loader. Textures come from textureFolder joined with each material's file name, so the
// folder ends with its separator ("..\\Data\\"). With an FVF the mesh is cloned to it with `options`.
HRESULT LoadMeshFromX(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file,
                      const char* textureFolder, DWORD fvf, DWORD options);
// One mesh data object of an X file, with its skin when it has at least one bone; the skin describes
// the vertices of the FVF clone when one is made. D3DXERR_INVALIDDATA, nothing created, for a skin
// whose weights name a vertex the mesh does not have.
HRESULT CreateSkinnedMeshContainer(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice,
                                   ID3DXFileData* pData, const char* textureFolder, DWORD fvf, DWORD options);
// As LoadMeshFromX without keeping the clone's buffers; `reserved` is not read and matTransform is the
// identity.
HRESULT LoadMeshFromXWithMatrix(CMeshContainer** ppContainer, DWORD reserved, IDirect3DDevice9* pDevice,
                                const char* file, const char* textureFolder, DWORD fvf, DWORD options);
// An attribute-sorted mesh with its attribute table and the buffers of a write-only FVF clone; no
// materials. Releases (and nulls) the two buffer references it is given.
HRESULT LoadMeshSorted(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file, DWORD fvf,
                       IDirect3DVertexBuffer9*& vertexBuffer, IDirect3DIndexBuffer9*& indexBuffer);
// The mesh in the effect layout (position, normal, 3-float texture coordinate, tangent, binormal,
// colour) with normals and tangents computed, its declaration, the load's materials and effect
// instances; no textures.
HRESULT LoadMeshForEffect(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file);
// Assembles a vertex shader file; with elements and ppDeclaration also creates that declaration.
HRESULT LoadVertexShader(IDirect3DVertexShader9** ppShader, IDirect3DDevice9* pDevice, const char* file,
                         const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** ppDeclaration);

// ---- X-file hierarchies ----

// A frame of an X-file hierarchy. Deleting a frame deletes its siblings and children with their names;
// the containers hung on frames belong to the loader's chain, not to the frames.
class CHierarchyFrame : public D3DXFRAME {
public:
    CHierarchyFrame();
    ~CHierarchyFrame();
    CHierarchyFrame(const CHierarchyFrame&) = delete;
    CHierarchyFrame& operator=(const CHierarchyFrame&) = delete;

    // Depth first: this frame, everything reached through its sibling, then its children. Case counts.
    CHierarchyFrame* Find(const char* name);

    D3DXMATRIX matCombined; // what skinned bones point at; identity until someone combines the tree
    D3DXMATRIX matInitial;  // the matrix read from the file
};

// The state of one hierarchy load. dwFlags: 1 loads meshes, 2 builds frames. What it still holds when
// destroyed (chain and tree) is destroyed with it.
class CXFileLoader {
public:
    CXFileLoader() {}
    ~CXFileLoader();
    CXFileLoader(const CXFileLoader&) = delete;
    CXFileLoader& operator=(const CXFileLoader&) = delete;

    // 1 when the file was opened and walked. `slot` leads to the frame the top level belongs to (null).
    int Load(const char* fileName, D3DXFRAME** slot);
    bool ParseObject(ID3DXFileData* data, ID3DXFileData* parentData, DWORD depth, D3DXFRAME** slot,
                     bool isReference);
    bool ParseChildObjects(ID3DXFileData* data, DWORD depth, D3DXFRAME** slot, bool isReference);

    IDirect3DDevice9* pDevice = nullptr;
    const char* pTexturePath = nullptr;
    DWORD dwFVF = 0;
    DWORD dwOptions = 0;
    DWORD dwFlags = 0;
    CMeshContainer* pMeshContainers = nullptr; // chain, latest first
    D3DXFRAME* pFrameRoot = nullptr;           // a CHierarchyFrame; top-level frames, latest first
};

// Loads a file as a frame tree and a container chain (either may be left out by a null pointer) and
// links skinned bones to their frames. E_FAIL only for a null device, file name or texture path; a
// file that cannot be read gives S_OK with null outputs. The caller deletes the root and the chain head.
HRESULT LoadHierarchyFromX(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                           IDirect3DDevice9* device, const char* fileName, const char* texturePath, DWORD fvf,
                           DWORD options);
// As LoadHierarchyFromX; when both a container and a frame were loaded, attachTo's sibling becomes the
// loaded root (replacing its old sibling). attachTo then deletes that root with itself: the caller must
// not delete it twice.
HRESULT LoadHierarchyFromXAttached(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                                   CHierarchyFrame* attachTo, IDirect3DDevice9* device, const char* fileName,
                                   const char* texturePath, DWORD fvf, DWORD options);

// A base for parsers that handle X-file objects themselves: Load opens the file as the loader does and,
// when BeginParse gives 1, hands each top-level object to ParseObject; EndParse runs either way. The
// virtual operations are in a fixed order.
class CXFileParser {
public:
    virtual int BeginParse(DWORD context) = 0;
    virtual void EndParse(DWORD context) = 0;
    // false stops the walk.
    virtual bool ParseObject(ID3DXFileData* data, ID3DXFileData* parentData, DWORD depth, DWORD context,
                             bool isReference) = 0;

    // 1 when the file was opened.
    int Load(const char* fileName, DWORD context);
    // Hands each child to ParseObject (depth + 1, the reference flag carried down); false at the first false.
    bool ParseChildObjects(ID3DXFileData* data, DWORD depth, DWORD context, bool isReference);

protected:
    ~CXFileParser() {}
};

// X-file data objects: the template GUID; the name as a new char array (null when it has none); a new
// copy of the data (its size through pSize); and the unlock of a locked object. The caller frees the
// arrays with delete[].
GUID GetFileDataType(ID3DXFileData* data);
char* GetFileDataName(ID3DXFileData* data);
BYTE* CopyFileData(ID3DXFileData* data, SIZE_T* pSize);
void UnlockFileData(ID3DXFileData* data);

// ---- Frames ----

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

// Change the positions (first three floats) of a container's mesh in place.
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

// ---- Camera ----

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

// ---- Effect wrapper ----

constexpr int kEffectSemanticCount = 58;
// The semantics an effect's top-level parameters are bound by, spelled as effect files must spell them;
// entry i gives CEffect::hParams[i].
extern const char* const kEffectSemantics[kEffectSemanticCount];

// Draws one mesh with an effect file: loads both, finds the effect's parameters by their semantics,
// loads the textures the effect names and selects the first technique the device can run; each frame
// it sets the transforms and the time and draws the mesh once per pass.
//
// Create it value-initialised (static storage, or `new CEffect()`), so that its frame starts
// zero-filled as every frame must. It owns the effect, the compiler's messages and every container it
// loaded, and releases them when destroyed; the textures belong to the effect.
class CEffect {
public:
    CEffect() = default;
    ~CEffect();
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    // Loads the mesh and the effect (both paths used unchanged), reports a failed creation and binds.
    // Adds 0x100 to dwCompileFlags. Returns the creation's failure, or the result of selecting the
    // technique.
    HRESULT LoadEffect(const char* meshFile, const char* effectFile);
    // Fills hParams and EffectDesc, gives each texture parameter the file its "ResourceName" names
    // under "..\Data\Textures\", and selects the technique; the result of selecting it.
    HRESULT BindSemantics();
    // Reads the device's world, view and projection transforms, forms the 18 matrices and the time and
    // sets them into the effect.
    void SetMatrices();
    // Draws subset 0 of the mesh once per pass, inside the caller's scene. E_FAIL without an effect or
    // a mesh; else the failure of Begin, or the result of End.
    HRESULT Render();

    ID3DXEffect* pEffect = nullptr;
    ID3DXBuffer* pErrors = nullptr; // the compiler's messages, null when it gave none
    D3DXEFFECT_DESC EffectDesc = {};
    DWORD dwCompileFlags = 0; // set by the owner before loading
    UINT uPass = 0;
    UINT uNumPasses = 0;
    CFrame MeshFrame; // holds every container loaded here
    CMeshContainer* pMeshContainer = nullptr;
    D3DXHANDLE hParams[kEffectSemanticCount] = {};
    float fTime = 0.0f; // seconds of the system's running time
    D3DXMATRIX matProjection;
    D3DXMATRIX matProjectionInverse;
    D3DXMATRIX matProjectionInverseTranspose;
    D3DXMATRIX matView;
    D3DXMATRIX matViewInverse;
    D3DXMATRIX matViewInverseTranspose;
    D3DXMATRIX matViewProjection;
    D3DXMATRIX matViewProjectionInverse;
    D3DXMATRIX matViewProjectionInverseTranspose;
    D3DXMATRIX matWorld;
    D3DXMATRIX matWorldInverse;
    D3DXMATRIX matWorldInverseTranspose;
    D3DXMATRIX matWorldView;
    D3DXMATRIX matWorldViewInverse;
    D3DXMATRIX matWorldViewInverseTranspose;
    D3DXMATRIX matWorldViewProjection;
    D3DXMATRIX matWorldViewProjectionInverse;
    D3DXMATRIX matWorldViewProjectionInverseTranspose;
};

extern CCamera g_Camera;

// ---- Angles and curves ----

// Degrees from radians by the factor 57.2957763671875.
float RadToDeg(float angle);
// The angles about x, y and z, in degrees, of a rotation quaternion; straight up or down (|2 (zx - yw)|
// above 0.999999) gives 0 about x and +-90 about y.
D3DXVECTOR3 QuaternionToEuler(D3DXQUATERNION q);
// |b| - |a| for non-zero angles; b itself when either is 0 (or not a number).
float AngleDifference(float a, float b);
// The larger minus the smaller.
float AngleSpan(float a, float b);
// The heading, in degrees, of an angle by a fixed table; angles outside it come back unchanged.
float HeadingFromAngle(float a);
// The point at t along a segment (start, end: 6 floats); t is not clamped. Returns 0.
int Lerp3(const float* segment, float t, float* out);
// The point at t on a cubic Bezier curve given as start, end, the inner point near the start and the
// one near the end (12 floats); t is not clamped. Returns 0.
int Bezier3(const float* control, float t, float* out);
