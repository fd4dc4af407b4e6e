// Mesh containers: one loaded mesh with what drawing it needs, the ways to draw it and the
// skinning update.
#pragma once

#include <windows.h>
#include <d3dx9.h>

class CFrame;

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

    // Despite their names these follow the owner frame's list (pNextInFrame), which the container does
    // not own, not the pNextMeshContainer chain.
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
