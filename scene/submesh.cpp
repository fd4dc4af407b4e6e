// A frame's sub-meshes: every Mesh object of an X file, anywhere in the file, loaded into the next
// slot with its bounding sphere and the sphere's centre placed at the frame's position.
#include "scene/frame.h"
#include "platform/platform.h"
#include "scene/x_file.h"

int CFrame::LoadFromX(const char* fileName, IDirect3DDevice9* device, DWORD value) {
    subMeshCount = 0;
    lastSubMeshIndex = 0;
    if (!fileName) {
        return 0;
    }
    const bool opened = ForEachTopLevelObject(fileName, [this, value, device](ID3DXFileData* object) {
        LoadSubMeshes(object, 0, value, object->IsReference() != FALSE, device);
        return true;
    });
    if (!opened) {
        return 0;
    }
    lastSubMeshIndex = subMeshCount - 1;
    return 1;
}

bool CFrame::AddSubMesh(ID3DXMesh* mesh) {
    if (!mesh || subMeshCount >= kMaxSubMeshes) {
        return false;
    }
    VertexLock lock(mesh, D3DLOCK_READONLY);
    if (!lock.IsLocked()) {
        return false;
    }
    D3DXVECTOR3 centre;
    float sphereRadius = 0.0f;
    const HRESULT hr =
        D3DXComputeBoundingSphere(lock.Data<D3DXVECTOR3>(), mesh->GetNumVertices(),
                                  D3DXGetFVFVertexSize(mesh->GetFVF()), &centre, &sphereRadius);
    lock.Unlock();
    if (FAILED(hr)) {
        return false;
    }
    const int slot = subMeshCount++;
    subMeshes[slot] = mesh;
    subMeshCentres[slot] = centre;
    subMeshRadii[slot] = sphereRadius;
    subMeshPlacedCentres[slot] = centre + position;
    return true;
}

int CFrame::LoadSubMeshes(ID3DXFileData* node, DWORD depth, DWORD value, bool isReference,
                          IDirect3DDevice9* device) {
    GUID type = {};
    node->GetType(&type);
    // A mesh that fails to load, or whose vertices cannot be read, takes no slot, and the slots end at
    // kMaxSubMeshes.
    if (type == TID_D3DRMMesh && subMeshCount < kMaxSubMeshes) {
        ID3DXBuffer* adjacency = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD materialCount = 0;
        ID3DXMesh* mesh = nullptr;
        if (SUCCEEDED(LoadMeshFromXof(node, D3DXMESH_SYSTEMMEM, device, &adjacency, &materials, nullptr,
                                      &materialCount, &mesh)) &&
            mesh && !AddSubMesh(mesh)) {
            mesh->Release();
        }
        if (adjacency) {
            adjacency->Release();
        }
        if (materials) {
            materials->Release();
        }
    }
    ForEachChild(node, [this, depth, value, isReference, device](ID3DXFileData* child) {
        LoadSubMeshes(child, depth + 1, value, isReference || child->IsReference() != FALSE, device);
        return true;
    });
    return 1;
}
