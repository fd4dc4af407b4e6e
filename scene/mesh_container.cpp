// Mesh containers: their life cycle, the search by name and the subset-by-subset drawing with the
// translucent-material blending rule.
#include "services/safe_release.h"
#include "scene/material_subsets.h"
#include "scene/mesh_container.h"

#include <cstdlib>
#include <cstring>

namespace {

// Frees what a container allocated with malloc and clears the pointer.
template <typename T> void FreeAndNull(T*& p) {
    free(p);
    p = nullptr;
}

} // namespace

CMeshContainer::CMeshContainer() {
    Name = nullptr;
    MeshData.pMesh = nullptr;
    pMaterials = nullptr;
    pEffects = nullptr;
    NumMaterials = 0;
    pAdjacency = nullptr;
    pSkinInfo = nullptr;
    pNextMeshContainer = nullptr;
    ppTextures = nullptr;
    pSkinnedMesh = nullptr;
    ppBoneMatrixPtrs = nullptr;
    pBoneMatrices = nullptr;
    pAttributeTable = nullptr;
    pVertexBuffer = nullptr;
    pIndexBuffer = nullptr;
    pVertexDeclaration = nullptr;
    pOwnerFrame = nullptr;
    pNextInFrame = nullptr;
}

CMeshContainer::~CMeshContainer() {
    if (ppTextures && NumMaterials != 0) {
        for (DWORD i = 0; i < NumMaterials; ++i) {
            SafeRelease(ppTextures[i]);
        }
    }
    FreeAndNull(ppTextures);
    NumMaterials = 0;

    FreeAndNull(Name);
    FreeAndNull(pMaterials);
    FreeAndNull(pEffects);
    FreeAndNull(pAdjacency);
    FreeAndNull(ppBoneMatrixPtrs);
    FreeAndNull(pBoneMatrices);

    SafeRelease(MeshData.pMesh);
    SafeRelease(pSkinInfo);
    SafeRelease(pSkinnedMesh);

    // The drawing data nothing else releases: without this every loader that fills them would leak.
    FreeAndNull(pAttributeTable);
    SafeRelease(pVertexBuffer);
    SafeRelease(pIndexBuffer);
    SafeRelease(pVertexDeclaration);

    delete static_cast<CMeshContainer*>(pNextMeshContainer);
    pNextMeshContainer = nullptr;
}

CMeshContainer* CMeshContainer::Find(const char* name) {
    for (CMeshContainer* c = this; c; c = static_cast<CMeshContainer*>(c->pNextMeshContainer)) {
        if (name && c->Name && strcmp(c->Name, name) == 0) {
            return c;
        }
    }
    return nullptr;
}

HRESULT RenderMeshContainer(CMeshContainer* pContainer, bool useTextures) {
    if (!pContainer || !pContainer->MeshData.pMesh || pContainer->NumMaterials == 0 ||
        !pContainer->pMaterials) {
        return E_FAIL;
    }
    IDirect3DDevice9* device = nullptr;
    pContainer->MeshData.pMesh->GetDevice(&device);
    if (!device) {
        return E_FAIL;
    }

    if (pContainer->pVertexDeclaration) {
        device->SetVertexDeclaration(pContainer->pVertexDeclaration);
    } else {
        // No declaration: the mesh's FVF drives the fixed-function pipeline.
        device->SetVertexShader(nullptr);
        device->SetVertexDeclaration(nullptr);
    }

    ID3DXMesh* mesh = pContainer->pSkinnedMesh ? pContainer->pSkinnedMesh : pContainer->MeshData.pMesh;
    DrawMaterialSubsets(device, mesh, pContainer, [&](DWORD i) {
        if (useTextures && pContainer->ppTextures) {
            device->SetTexture(0, pContainer->ppTextures[i]);
        }
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    });
    device->SetTexture(0, nullptr);
    device->Release();
    return S_OK;
}
