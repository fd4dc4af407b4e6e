// Tangent and binormal vectors of a mesh, standing in for D3DXComputeTangent on Wine.
#include "platform/platform.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kTiny = 1e-12f;

// Where one vertex element lives and how many floats it has (0 when absent or not a float type).
struct FloatElement {
    int offset = -1;
    int count = 0;
};

int FloatCount(BYTE type) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1:
        return 1;
    case D3DDECLTYPE_FLOAT2:
        return 2;
    case D3DDECLTYPE_FLOAT3:
        return 3;
    case D3DDECLTYPE_FLOAT4:
        return 4;
    default:
        return 0;
    }
}

FloatElement FindElement(const D3DVERTEXELEMENT9* decl, BYTE usage, DWORD usageIndex) {
    FloatElement found;
    for (const D3DVERTEXELEMENT9* e = decl; e->Stream != 0xFF; ++e) {
        if (e->Stream == 0 && e->Usage == usage && e->UsageIndex == usageIndex) {
            found.offset = e->Offset;
            found.count = FloatCount(e->Type);
            break;
        }
    }
    return found;
}

D3DXVECTOR3 ReadVector(const BYTE* vertex, const FloatElement& e) {
    const float* f = reinterpret_cast<const float*>(vertex + e.offset);
    return D3DXVECTOR3(f[0], e.count > 1 ? f[1] : 0.0f, e.count > 2 ? f[2] : 0.0f);
}

void WriteVector(BYTE* vertex, const FloatElement& e, const D3DXVECTOR3& v) {
    float* f = reinterpret_cast<float*>(vertex + e.offset);
    f[0] = v.x;
    f[1] = v.y;
    f[2] = v.z;
}

// A texture-coordinate step taken the short way round when wrapping.
float Step(float from, float to, bool wrap) {
    float d = to - from;
    if (wrap) {
        d -= std::floor(d + 0.5f);
    }
    return d;
}

float CornerAngle(const D3DXVECTOR3& corner, const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    D3DXVECTOR3 u = a - corner;
    D3DXVECTOR3 v = b - corner;
    const float lu = D3DXVec3Length(&u);
    const float lv = D3DXVec3Length(&v);
    if (lu < kTiny || lv < kTiny) {
        return 0.0f;
    }
    float c = D3DXVec3Dot(&u, &v) / (lu * lv);
    c = c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c);
    return std::acos(c);
}

// Removes from v its part along the unit vector n.
D3DXVECTOR3 Without(const D3DXVECTOR3& v, const D3DXVECTOR3& n) {
    return v - n * D3DXVec3Dot(&v, &n);
}

// Unit length, or `fallback` when v has none.
D3DXVECTOR3 UnitOr(const D3DXVECTOR3& v, const D3DXVECTOR3& fallback) {
    const float length = D3DXVec3Length(&v);
    return length > 1e-6f ? v / length : fallback;
}

// Any unit vector perpendicular to n.
D3DXVECTOR3 Perpendicular(const D3DXVECTOR3& n) {
    const D3DXVECTOR3 axis = std::fabs(n.x) < 0.9f ? D3DXVECTOR3(1, 0, 0) : D3DXVECTOR3(0, 1, 0);
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, &n, &axis);
    return UnitOr(p, D3DXVECTOR3(1, 0, 0));
}

HRESULT ComputeTangentOwn(ID3DXMesh* mesh, DWORD texStage, DWORD tangentIndex, DWORD binormIndex,
                          DWORD wrap) {
    if (!mesh) {
        return D3DERR_INVALIDCALL;
    }
    D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE];
    if (FAILED(mesh->GetDeclaration(decl))) {
        return D3DERR_INVALIDCALL;
    }
    const FloatElement position = FindElement(decl, D3DDECLUSAGE_POSITION, 0);
    const FloatElement normal = FindElement(decl, D3DDECLUSAGE_NORMAL, 0);
    const FloatElement texcoord = FindElement(decl, D3DDECLUSAGE_TEXCOORD, texStage);
    FloatElement tangent;
    FloatElement binormal;
    if (tangentIndex != D3DX_DEFAULT) {
        tangent = FindElement(decl, D3DDECLUSAGE_TANGENT, tangentIndex);
        if (tangent.count < 3) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (binormIndex != D3DX_DEFAULT) {
        binormal = FindElement(decl, D3DDECLUSAGE_BINORMAL, binormIndex);
        if (binormal.count < 3) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (position.count < 3 || texcoord.count < 1) {
        return D3DERR_INVALIDCALL;
    }
    const bool hasNormal = normal.count >= 3;

    const DWORD vertexCount = mesh->GetNumVertices();
    const DWORD faceCount = mesh->GetNumFaces();
    const DWORD stride = mesh->GetNumBytesPerVertex();
    const bool indices32 = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;

    const MeshLocks locks(mesh, 0);
    if (!locks.AreLocked()) {
        return D3DERR_INVALIDCALL;
    }
    BYTE* vertices = locks.vertices.Data<BYTE>();
    const void* indexData = locks.indices.Data();
    auto index = [&](DWORD i) -> DWORD {
        return indices32 ? static_cast<const DWORD*>(indexData)[i] : static_cast<const WORD*>(indexData)[i];
    };

    // Each face's directions of growing u and v, weighted at each corner by the corner's angle.
    std::vector<D3DXVECTOR3> sumU(vertexCount, D3DXVECTOR3(0, 0, 0));
    std::vector<D3DXVECTOR3> sumV(vertexCount, D3DXVECTOR3(0, 0, 0));
    for (DWORD f = 0; f < faceCount; ++f) {
        const DWORD v[3] = {index(3 * f), index(3 * f + 1), index(3 * f + 2)};
        if (v[0] >= vertexCount || v[1] >= vertexCount || v[2] >= vertexCount) {
            continue;
        }
        D3DXVECTOR3 p[3];
        float u[3];
        float t[3];
        for (int k = 0; k < 3; ++k) {
            const BYTE* vertex = vertices + static_cast<size_t>(v[k]) * stride;
            p[k] = ReadVector(vertex, position);
            const D3DXVECTOR3 uv = ReadVector(vertex, texcoord);
            u[k] = uv.x;
            t[k] = uv.y;
        }
        const D3DXVECTOR3 e1 = p[1] - p[0];
        const D3DXVECTOR3 e2 = p[2] - p[0];
        // Wrapped steps first; a face spanning the whole texture wraps to nothing, so it keeps its
        // plain steps.
        float du1 = 0.0f;
        float dv1 = 0.0f;
        float du2 = 0.0f;
        float dv2 = 0.0f;
        float det = 0.0f;
        for (int attempt = wrap != 0 ? 0 : 1; attempt < 2 && std::fabs(det) < kTiny; ++attempt) {
            const bool wrapped = attempt == 0;
            du1 = Step(u[0], u[1], wrapped);
            dv1 = Step(t[0], t[1], wrapped);
            du2 = Step(u[0], u[2], wrapped);
            dv2 = Step(t[0], t[2], wrapped);
            det = du1 * dv2 - du2 * dv1;
        }
        if (std::fabs(det) < kTiny) {
            continue; // no texture area: the face says nothing about the directions
        }
        const D3DXVECTOR3 faceU = UnitOr((e1 * dv2 - e2 * dv1) / det, D3DXVECTOR3(0, 0, 0));
        const D3DXVECTOR3 faceV = UnitOr((e2 * du1 - e1 * du2) / det, D3DXVECTOR3(0, 0, 0));
        for (int k = 0; k < 3; ++k) {
            const float angle = CornerAngle(p[k], p[(k + 1) % 3], p[(k + 2) % 3]);
            sumU[v[k]] += faceU * angle;
            sumV[v[k]] += faceV * angle;
        }
    }

    for (DWORD i = 0; i < vertexCount; ++i) {
        BYTE* vertex = vertices + static_cast<size_t>(i) * stride;
        D3DXVECTOR3 n(0, 0, 0);
        if (hasNormal) {
            n = UnitOr(ReadVector(vertex, normal), D3DXVECTOR3(0, 0, 0));
        }
        const bool haveN = D3DXVec3LengthSq(&n) > 0.5f;
        const D3DXVECTOR3 uDir = haveN ? Without(sumU[i], n) : sumU[i];
        const D3DXVECTOR3 tan = UnitOr(uDir, haveN ? Perpendicular(n) : D3DXVECTOR3(1, 0, 0));
        D3DXVECTOR3 vDir = Without(haveN ? Without(sumV[i], n) : sumV[i], tan);
        D3DXVECTOR3 fallback(0, 0, 1);
        if (haveN) {
            D3DXVec3Cross(&fallback, &n, &tan);
        }
        const D3DXVECTOR3 bin = UnitOr(vDir, fallback);
        if (tangent.count >= 3) {
            WriteVector(vertex, tangent, tan);
        }
        if (binormal.count >= 3) {
            WriteVector(vertex, binormal, bin);
        }
    }

    return S_OK;
}

} // namespace

HRESULT ComputeTangent(ID3DXMesh* mesh, DWORD texStage, DWORD tangentIndex, DWORD binormIndex, DWORD wrap,
                       const DWORD* adjacency) {
    if (IsRunningOnWine()) {
        return ComputeTangentOwn(mesh, texStage, tangentIndex, binormIndex, wrap);
    }
    return D3DXComputeTangent(mesh, texStage, tangentIndex, binormIndex, wrap, adjacency);
}
