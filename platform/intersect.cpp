// D3DXIntersect, which returns E_NOTIMPL on Wine 8.0: there our own test of a ray against every face
// of the mesh stands in, with the platform's conventions. A hit is p0 + u (p1 - p0) + v (p2 - p0) on the
// face's corners p0, p1, p2; its distance is measured in lengths of the ray's direction; both windings
// count; hits behind the origin do not.
#include "platform/platform.h"

#include <vector>

namespace {

// Möller and Trumbore's ray-triangle test.
bool RayHitsTriangle(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
                     const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, D3DXINTERSECTINFO* hit) {
    const D3DXVECTOR3 e1 = p1 - p0;
    const D3DXVECTOR3 e2 = p2 - p0;
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, &direction, &e2);
    const float det = D3DXVec3Dot(&e1, &p);
    if (det == 0.0f) {
        return false;
    }
    const float inverse = 1.0f / det;
    const D3DXVECTOR3 toOrigin = origin - p0;
    const float u = D3DXVec3Dot(&toOrigin, &p) * inverse;
    if (u < 0.0f || u > 1.0f) {
        return false;
    }
    D3DXVECTOR3 q;
    D3DXVec3Cross(&q, &toOrigin, &e1);
    const float v = D3DXVec3Dot(&direction, &q) * inverse;
    if (v < 0.0f || u + v > 1.0f) {
        return false;
    }
    const float t = D3DXVec3Dot(&e2, &q) * inverse;
    if (!(t >= 0.0f)) {
        return false;
    }
    hit->U = u;
    hit->V = v;
    hit->Dist = t;
    return true;
}

// Byte offset of the position in a vertex of the mesh; -1 when it has no 3-float position.
int PositionOffset(ID3DXBaseMesh* mesh) {
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    if (FAILED(mesh->GetDeclaration(elements))) {
        return -1;
    }
    for (int i = 0; i < MAX_FVF_DECL_SIZE && elements[i].Stream != 0xFF; ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream == 0 && e.Usage == D3DDECLUSAGE_POSITION && e.UsageIndex == 0 &&
            (e.Type == D3DDECLTYPE_FLOAT3 || e.Type == D3DDECLTYPE_FLOAT4)) {
            return e.Offset;
        }
    }
    return -1;
}

// Every hit of the ray on the mesh, in face order.
HRESULT AllHits(ID3DXBaseMesh* mesh, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction,
                std::vector<D3DXINTERSECTINFO>* hits) {
    const int offset = PositionOffset(mesh);
    if (offset < 0) {
        return D3DERR_INVALIDCALL;
    }
    const DWORD stride = mesh->GetNumBytesPerVertex();
    const DWORD vertexCount = mesh->GetNumVertices();
    const DWORD faceCount = mesh->GetNumFaces();
    const bool wideIndices = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    const MeshLocks locks(mesh, D3DLOCK_READONLY);
    if (!locks.AreLocked()) {
        return locks.Failure();
    }
    const BYTE* vertices = locks.vertices.Data<const BYTE>();
    const void* indices = locks.indices.Data();
    for (DWORD face = 0; face < faceCount; ++face) {
        D3DXVECTOR3 corners[3];
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            const DWORD index = wideIndices ? static_cast<const DWORD*>(indices)[3 * face + k]
                                            : static_cast<const WORD*>(indices)[3 * face + k];
            valid = valid && index < vertexCount;
            if (valid) {
                corners[k] = *reinterpret_cast<const D3DXVECTOR3*>(vertices + index * stride + offset);
            }
        }
        D3DXINTERSECTINFO hit = {face, 0.0f, 0.0f, 0.0f};
        if (valid && RayHitsTriangle(corners[0], corners[1], corners[2], origin, direction, &hit)) {
            hits->push_back(hit);
        }
    }
    return S_OK;
}

} // namespace

HRESULT Intersect(ID3DXBaseMesh* mesh, const D3DXVECTOR3* rayOrigin, const D3DXVECTOR3* rayDirection,
                  BOOL* hit, DWORD* faceIndex, float* u, float* v, float* distance, ID3DXBuffer** allHits,
                  DWORD* hitCount) {
    const HRESULT platform =
        D3DXIntersect(mesh, rayOrigin, rayDirection, hit, faceIndex, u, v, distance, allHits, hitCount);
    if (platform != E_NOTIMPL) {
        return platform;
    }
    if (!mesh || !rayOrigin || !rayDirection || !hit) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<D3DXINTERSECTINFO> hits;
    const HRESULT hr = AllHits(mesh, *rayOrigin, *rayDirection, &hits);
    if (FAILED(hr)) {
        return hr;
    }
    size_t closest = 0;
    for (size_t i = 1; i < hits.size(); ++i) {
        if (hits[i].Dist < hits[closest].Dist) {
            closest = i;
        }
    }
    *hit = hits.empty() ? FALSE : TRUE;
    if (!hits.empty()) {
        if (faceIndex) {
            *faceIndex = hits[closest].FaceIndex;
        }
        if (u) {
            *u = hits[closest].U;
        }
        if (v) {
            *v = hits[closest].V;
        }
        if (distance) {
            *distance = hits[closest].Dist;
        }
    }
    if (hitCount) {
        *hitCount = static_cast<DWORD>(hits.size());
    }
    if (allHits) {
        *allHits = nullptr;
        if (!hits.empty()) {
            const DWORD bytes = static_cast<DWORD>(hits.size() * sizeof(D3DXINTERSECTINFO));
            if (SUCCEEDED(D3DXCreateBuffer(bytes, allHits))) {
                memcpy((*allHits)->GetBufferPointer(), hits.data(), bytes);
            }
        }
    }
    return S_OK;
}
