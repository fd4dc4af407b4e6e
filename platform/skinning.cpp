// ID3DXSkinInfo::UpdateSkinnedMesh, which returns E_NOTIMPL on Wine 8.0: there our own linear-blend
// skinning stands in. Each vertex a bone influences gets the weighted sum of its source position taken
// through each influencing bone's matrix (its normal through the inverse-transpose matrices when given,
// else through the bone matrices). A second position element is taken through the inverse of the bone
// matrix, as the platform documents. Vertices no bone influences, and every other element, are left as
// the destination had them.
#include "platform/platform.h"

#include <vector>

namespace {

struct SkinLayout {
    DWORD stride;
    int position; // byte offsets, -1 when absent
    int secondPosition;
    int normal;
};

int FloatTripleOffset(const D3DVERTEXELEMENT9* elements, BYTE usage, BYTE usageIndex) {
    for (int i = 0; i < MAX_FVF_DECL_SIZE && elements[i].Stream != 0xFF; ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream == 0 && e.Usage == usage && e.UsageIndex == usageIndex && e.Type == D3DDECLTYPE_FLOAT3) {
            return e.Offset;
        }
    }
    return -1;
}

D3DXVECTOR3& VectorAt(void* vertices, DWORD stride, DWORD vertex, int offset) {
    return *reinterpret_cast<D3DXVECTOR3*>(static_cast<BYTE*>(vertices) + vertex * stride + offset);
}

const D3DXVECTOR3& VectorAt(const void* vertices, DWORD stride, DWORD vertex, int offset) {
    return *reinterpret_cast<const D3DXVECTOR3*>(static_cast<const BYTE*>(vertices) + vertex * stride +
                                                 offset);
}

struct Influences {
    std::vector<DWORD> vertices;
    std::vector<float> weights;
};

// Every bone's influences as the skin holds them; a bone whose influences cannot be read has none.
std::vector<Influences> ReadInfluences(ID3DXSkinInfo* skin) {
    std::vector<Influences> bones(skin->GetNumBones());
    for (DWORD b = 0; b < bones.size(); ++b) {
        const DWORD count = skin->GetNumBoneInfluences(b);
        bones[b].vertices.resize(count);
        bones[b].weights.resize(count);
        if (count > 0 &&
            FAILED(skin->GetBoneInfluence(b, bones[b].vertices.data(), bones[b].weights.data()))) {
            bones[b].vertices.clear();
            bones[b].weights.clear();
        }
    }
    return bones;
}

bool Within(const std::vector<Influences>& bones, DWORD vertexCount) {
    for (const Influences& bone : bones) {
        for (const DWORD vertex : bone.vertices) {
            if (vertex >= vertexCount) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool SkinInfluencesWithin(ID3DXSkinInfo* skin, DWORD vertexCount) {
    return skin && Within(ReadInfluences(skin), vertexCount);
}

HRESULT SkinInfoUpdateSkinnedMesh(ID3DXSkinInfo* skin, const D3DXMATRIX* boneTransforms,
                                  const D3DXMATRIX* boneInvTransposeTransforms, const void* source,
                                  void* destination, DWORD vertexCount) {
    if (!skin) {
        return D3DERR_INVALIDCALL;
    }
    // The influences come from the file: one naming a vertex beyond the buffers would be written there.
    const std::vector<Influences> bones = ReadInfluences(skin);
    if (!Within(bones, vertexCount)) {
        return D3DERR_INVALIDCALL;
    }

    const HRESULT platform =
        skin->UpdateSkinnedMesh(boneTransforms, boneInvTransposeTransforms, source, destination);
    if (platform != E_NOTIMPL) {
        return platform;
    }
    if (!boneTransforms || !source || !destination) {
        return D3DERR_INVALIDCALL;
    }
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    if (FAILED(skin->GetDeclaration(elements))) {
        return D3DERR_INVALIDCALL;
    }
    const SkinLayout layout = {D3DXGetDeclVertexSize(elements, 0),
                               FloatTripleOffset(elements, D3DDECLUSAGE_POSITION, 0),
                               FloatTripleOffset(elements, D3DDECLUSAGE_POSITION, 1),
                               FloatTripleOffset(elements, D3DDECLUSAGE_NORMAL, 0)};
    if (layout.position < 0) {
        return D3DERR_INVALIDCALL;
    }

    // Clear what is summed, for every influenced vertex, before any bone adds to it.
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    for (const Influences& bone : bones) {
        for (const DWORD vertex : bone.vertices) {
            VectorAt(destination, layout.stride, vertex, layout.position) = zero;
            if (layout.secondPosition >= 0) {
                VectorAt(destination, layout.stride, vertex, layout.secondPosition) = zero;
            }
            if (layout.normal >= 0) {
                VectorAt(destination, layout.stride, vertex, layout.normal) = zero;
            }
        }
    }

    for (DWORD b = 0; b < bones.size(); ++b) {
        const D3DXMATRIX& matrix = boneTransforms[b];
        const D3DXMATRIX& normalMatrix = boneInvTransposeTransforms ? boneInvTransposeTransforms[b] : matrix;
        D3DXMATRIX inverse;
        if (layout.secondPosition >= 0 && !D3DXMatrixInverse(&inverse, nullptr, &matrix)) {
            D3DXMatrixIdentity(&inverse);
        }
        for (size_t i = 0; i < bones[b].vertices.size(); ++i) {
            const DWORD vertex = bones[b].vertices[i];
            const float weight = bones[b].weights[i];
            D3DXVECTOR3 moved;
            D3DXVec3TransformCoord(&moved, &VectorAt(source, layout.stride, vertex, layout.position),
                                   &matrix);
            VectorAt(destination, layout.stride, vertex, layout.position) += weight * moved;
            if (layout.secondPosition >= 0) {
                D3DXVec3TransformCoord(
                    &moved, &VectorAt(source, layout.stride, vertex, layout.secondPosition), &inverse);
                VectorAt(destination, layout.stride, vertex, layout.secondPosition) += weight * moved;
            }
            if (layout.normal >= 0) {
                D3DXVec3TransformNormal(&moved, &VectorAt(source, layout.stride, vertex, layout.normal),
                                        &normalMatrix);
                VectorAt(destination, layout.stride, vertex, layout.normal) += weight * moved;
            }
        }
    }
    return D3D_OK;
}
