// A frame's sub-meshes: every Mesh object of an X file, anywhere in the file, loaded into the next
// slot with its bounding sphere and the sphere's centre placed at the frame's position.
#include "scene/frame.h"
#include "scene/x_file.h"

int CFrame::LoadFromX(const char* fileName, IDirect3DDevice9* device, DWORD value) {
    subMeshCount = 0;
    lastSubMeshIndex = 0;
    if (!fileName) {
        return 0;
    }
    ID3DXFile* file = nullptr;
    ID3DXFileEnumObject* enumeration = nullptr;
    if (!OpenXFile(fileName, &file, &enumeration)) {
        return 0;
    }
    ForEachChild(enumeration, [this, value, device](ID3DXFileData* child) {
        LoadSubMeshes(child, 0, value, child->IsReference() != FALSE, device);
        return true;
    });
    enumeration->Release();
    file->Release();
    lastSubMeshIndex = subMeshCount - 1;
    return 1;
}

int CFrame::LoadSubMeshes(ID3DXFileData* node, DWORD depth, DWORD value, bool isReference,
                          IDirect3DDevice9* device) {
    GUID type = {};
    node->GetType(&type);
    // A mesh that fails to load takes no slot, and the slots end at kMaxSubMeshes.
    if (type == TID_D3DRMMesh && subMeshCount < kMaxSubMeshes) {
        ID3DXBuffer* adjacency = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD materialCount = 0;
        ID3DXMesh* mesh = nullptr;
        if (SUCCEEDED(LoadMeshFromXof(node, D3DXMESH_SYSTEMMEM, device, &adjacency, &materials, nullptr,
                                      &materialCount, &mesh)) &&
            mesh) {
            const int slot = subMeshCount;
            subMeshes[slot] = mesh;
            D3DXVECTOR3* vertices = nullptr;
            mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&vertices));
            D3DXComputeBoundingSphere(vertices, mesh->GetNumVertices(), D3DXGetFVFVertexSize(mesh->GetFVF()),
                                      &subMeshCentres[slot], &subMeshRadii[slot]);
            mesh->UnlockVertexBuffer();
            subMeshPlacedCentres[slot] = subMeshCentres[slot] + position;
            ++subMeshCount;
        }
        if (adjacency) {
            adjacency->Release();
        }
        if (materials) {
            materials->Release();
        }
    }
    SIZE_T count = 0;
    node->GetChildren(&count);
    for (SIZE_T i = 0; i < count; ++i) {
        ID3DXFileData* child = nullptr;
        if (SUCCEEDED(node->GetChild(i, &child)) && child) {
            LoadSubMeshes(child, depth + 1, value, isReference || child->IsReference() != FALSE, device);
            child->Release();
        }
    }
    return 1;
}
