// More ways to draw a mesh container: material by material with its textures, range by range from the
// attribute table through a vertex shader, down a chain of containers; and the software skinning step
// that moves a skinned container's working copy with its bones.
#include "platform/platform.h"
#include "scene/material_subsets.h"
#include "scene/mesh_container.h"

#include <algorithm>
#include <vector>

namespace {

bool Drawable(const CMeshContainer* container) {
    return container && container->MeshData.pMesh && container->NumMaterials != 0 && container->pMaterials;
}

// A missing texture array counts as one of null entries.
IDirect3DTexture9* TextureOf(const CMeshContainer* container, DWORD material) {
    return container->ppTextures ? container->ppTextures[material] : nullptr;
}

} // namespace

HRESULT DrawMeshContainer(CMeshContainer* container) {
    if (!Drawable(container)) {
        return E_FAIL;
    }
    IDirect3DDevice9* device = nullptr;
    if (FAILED(container->MeshData.pMesh->GetDevice(&device)) || !device) {
        return E_FAIL;
    }
    device->SetVertexShader(nullptr);
    device->SetVertexDeclaration(nullptr);
    ID3DXMesh* mesh = container->pSkinnedMesh ? container->pSkinnedMesh : container->MeshData.pMesh;
    DrawMaterialSubsets(device, mesh, container,
                        [&](DWORD i) { device->SetTexture(0, TextureOf(container, i)); });
    device->Release();
    return S_OK;
}

HRESULT DrawMeshContainerShader(CMeshContainer* container, IDirect3DVertexShader9* vertexShader,
                                IDirect3DVertexDeclaration9* declaration) {
    if (!Drawable(container) || !vertexShader || !declaration) {
        return E_FAIL;
    }
    ID3DXMesh* mesh = container->MeshData.pMesh;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(mesh->GetDevice(&device)) || !device) {
        return E_FAIL;
    }
    BlendSwitch blend(device);
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    mesh->GetVertexBuffer(&vertices);
    mesh->GetIndexBuffer(&indices);
    DWORD rangeCount = 0;
    mesh->GetAttributeTable(nullptr, &rangeCount);
    std::vector<D3DXATTRIBUTERANGE> ranges(rangeCount);
    if (rangeCount > 0) {
        mesh->GetAttributeTable(ranges.data(), &rangeCount);
    }

    device->SetFVF(0);
    device->SetVertexShader(vertexShader);
    device->SetVertexDeclaration(declaration);
    device->SetStreamSource(0, vertices, 0, D3DXGetFVFVertexSize(mesh->GetFVF()));
    device->SetIndices(indices);
    for (const D3DXATTRIBUTERANGE& range : ranges) {
        // A range without faces, or whose attribute names no material, is not drawn.
        if (range.FaceCount == 0 || range.AttribId >= container->NumMaterials) {
            continue;
        }
        device->SetTexture(0, TextureOf(container, range.AttribId));
        blend.Follow(container->pMaterials[range.AttribId].MatD3D);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, range.VertexStart, range.VertexCount,
                                     range.FaceStart * 3, range.FaceCount);
    }
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    if (vertices) {
        vertices->Release();
    }
    if (indices) {
        indices->Release();
    }
    blend.Restore();
    device->SetVertexShader(nullptr);
    device->SetVertexDeclaration(nullptr);
    device->Release();
    return S_OK;
}

HRESULT DrawMeshContainerList(CMeshContainer* first) {
    for (CMeshContainer* c = first; c; c = static_cast<CMeshContainer*>(c->pNextMeshContainer)) {
        const HRESULT hr = DrawMeshContainer(c);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT DrawMeshContainerListShader(CMeshContainer* first, IDirect3DVertexShader9* vertexShader,
                                    IDirect3DVertexDeclaration9* declaration) {
    for (CMeshContainer* c = first; c; c = static_cast<CMeshContainer*>(c->pNextMeshContainer)) {
        const HRESULT hr = DrawMeshContainerShader(c, vertexShader, declaration);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

HRESULT UpdateSkinnedMesh(CMeshContainer* container) {
    if (!container || !container->MeshData.pMesh || !container->pSkinnedMesh || !container->pSkinInfo ||
        !container->pBoneMatrices || !container->ppBoneMatrixPtrs) {
        return E_FAIL;
    }
    ID3DXSkinInfo* skin = container->pSkinInfo;
    for (DWORD i = 0; i < skin->GetNumBones(); ++i) {
        // offset x frame; a bone without a frame keeps its bare offset.
        container->pBoneMatrices[i] = *skin->GetBoneOffsetMatrix(i);
        if (container->ppBoneMatrixPtrs[i]) {
            D3DXMatrixMultiply(&container->pBoneMatrices[i], &container->pBoneMatrices[i],
                               container->ppBoneMatrixPtrs[i]);
        }
    }
    const DWORD vertexCount =
        std::min(container->MeshData.pMesh->GetNumVertices(), container->pSkinnedMesh->GetNumVertices());
    const VertexLock source(container->MeshData.pMesh, D3DLOCK_READONLY);
    const VertexLock destination(container->pSkinnedMesh, 0);
    // Vertices that cannot be read or written fail the update, as does a skin that names vertices the
    // meshes do not have.
    if (!source.IsLocked() || !destination.IsLocked()) {
        return source.IsLocked() ? destination.Failure() : source.Failure();
    }
    return SkinInfoUpdateSkinnedMesh(skin, container->pBoneMatrices, nullptr, source.Data(),
                                     destination.Data(), vertexCount);
}
