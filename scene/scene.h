// The 3D scene: mesh containers and their loaders, frames, the camera and the effect wrapper. What
// other subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

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

// ---- Loaders ----
// Each hands the new container out through its first argument as soon as it exists; the caller owns it.
// E_FAIL for a null or empty required argument, the platform's result when a load or a needed
// conversion fails.

// The game's loader. Textures come from textureFolder joined with each material's file name, so the
// folder ends with its separator ("..\\Data\\"). With an FVF the mesh is cloned to it with `options`.
HRESULT LoadMeshFromX(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file,
                      const char* textureFolder, DWORD fvf, DWORD options);
// One mesh data object of an X file, with its skin when it has at least one bone.
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

// ---- Frames ----

// The collision library's object ("CD.dll"), made by its factory. Only the slot order is fixed; the
// program calls slots 1, 2, 3 and 5.
class CCollisionObject {
public:
    virtual void Slot0() = 0;
    virtual void AddTriangle(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) = 0;
    virtual void Finish() = 0;
    virtual void SetTransform(D3DXMATRIX* world) = 0;
    virtual void Slot4() = 0;
    virtual bool TestAgainst(CCollisionObject* other, int value) = 0;
};

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

constexpr int kPegCount = 100;

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
extern CFrame g_BoardFrame;
extern CFrame g_Pegs[kPegCount];
