// X files as hierarchies: every Frame becomes a CHierarchyFrame in a tree of siblings and children,
// every Mesh a skinned-capable container in a chain, each hung on the frame that holds it, and the bones
// of skinned meshes linked to the combined matrices of the frames that bear their names. Beside the
// loader, CXFileParser walks a file the same way for parsers of their own.
#include "platform/platform.h"
#include "scene/hierarchy.h"
#include "scene/mesh_loader.h"
#include "scene/x_file.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kLoadMeshes = 1;
constexpr DWORD kBuildFrames = 2;
constexpr SIZE_T kMatrixBytes = 16 * sizeof(float);

CHierarchyFrame* AsHierarchyFrame(D3DXFRAME* frame) {
    return static_cast<CHierarchyFrame*>(frame);
}

} // namespace

// ---- Data object utilities ----

GUID GetFileDataType(ID3DXFileData* data) {
    GUID type = {};
    if (data) {
        data->GetType(&type);
    }
    return type;
}

char* GetFileDataName(ID3DXFileData* data) {
    SIZE_T size = 0;
    if (!data || FAILED(data->GetName(nullptr, &size)) || size == 0) {
        return nullptr;
    }
    char* name = new (std::nothrow) char[size];
    if (name && FAILED(data->GetName(name, &size))) {
        delete[] name;
        name = nullptr;
    }
    return name;
}

BYTE* CopyFileData(ID3DXFileData* data, SIZE_T* pSize) {
    if (pSize) {
        *pSize = 0;
    }
    if (!data) {
        return nullptr;
    }
    SIZE_T size = 0;
    const void* bytes = nullptr;
    if (FAILED(data->Lock(&size, &bytes))) {
        return nullptr;
    }
    BYTE* copy = new (std::nothrow) BYTE[size > 0 ? size : 1];
    if (copy) {
        memcpy(copy, bytes, size);
        if (pSize) {
            *pSize = size;
        }
    }
    data->Unlock();
    return copy;
}

void UnlockFileData(ID3DXFileData* data) {
    data->Unlock();
}

// ---- Frames ----

CHierarchyFrame::CHierarchyFrame() {
    Name = nullptr;
    pMeshContainer = nullptr;
    pFrameSibling = nullptr;
    pFrameFirstChild = nullptr;
    D3DXMatrixIdentity(&TransformationMatrix);
    D3DXMatrixIdentity(&matCombined);
    D3DXMatrixIdentity(&matInitial);
}

CHierarchyFrame::~CHierarchyFrame() {
    delete[] Name;
    Name = nullptr;
    delete AsHierarchyFrame(pFrameFirstChild);
    pFrameFirstChild = nullptr;
    // The sibling chain is taken apart one by one, so a long row of frames does not nest the calls.
    D3DXFRAME* sibling = pFrameSibling;
    pFrameSibling = nullptr;
    while (sibling) {
        D3DXFRAME* next = sibling->pFrameSibling;
        sibling->pFrameSibling = nullptr;
        delete AsHierarchyFrame(sibling);
        sibling = next;
    }
}

CHierarchyFrame* CHierarchyFrame::Find(const char* name) {
    if (Name && name && strcmp(Name, name) == 0) {
        return this;
    }
    if (pFrameSibling) {
        if (CHierarchyFrame* found = AsHierarchyFrame(pFrameSibling)->Find(name)) {
            return found;
        }
    }
    return pFrameFirstChild ? AsHierarchyFrame(pFrameFirstChild)->Find(name) : nullptr;
}

// ---- The loader ----

CXFileLoader::~CXFileLoader() {
    delete pMeshContainers;
    pMeshContainers = nullptr;
    delete AsHierarchyFrame(pFrameRoot);
    pFrameRoot = nullptr;
}

int CXFileLoader::Load(const char* fileName, D3DXFRAME** slot) {
    const bool opened = ForEachTopLevelObject(fileName, [this, slot](ID3DXFileData* object) {
        return ParseObject(object, nullptr, 0, slot, object->IsReference() != FALSE);
    });
    return opened ? 1 : 0;
}

bool CXFileLoader::ParseObject(ID3DXFileData* data, ID3DXFileData* /*parentData*/, DWORD depth,
                               D3DXFRAME** slot, bool isReference) {
    GUID type = {};
    data->GetType(&type);

    if (type == TID_D3DRMFrame && !isReference && (dwFlags & kBuildFrames)) {
        CHierarchyFrame* frame = new (std::nothrow) CHierarchyFrame();
        if (frame) {
            frame->Name = GetFileDataName(data);
            // In front of its level, so each level reads in the reverse of file order.
            if (!slot) {
                frame->pFrameSibling = pFrameRoot;
                pFrameRoot = frame;
                slot = &pFrameRoot;
            } else if (*slot) {
                frame->pFrameSibling = (*slot)->pFrameFirstChild;
                (*slot)->pFrameFirstChild = frame;
                slot = &(*slot)->pFrameFirstChild;
            } else {
                delete frame;
            }
        }
    }

    if (type == TID_D3DRMFrameTransformMatrix && !isReference && (dwFlags & kBuildFrames) && slot && *slot) {
        SIZE_T size = 0;
        BYTE* bytes = CopyFileData(data, &size);
        // A matrix object shorter than 16 floats is not read.
        if (bytes && size >= kMatrixBytes) {
            CHierarchyFrame* frame = AsHierarchyFrame(*slot);
            memcpy(&frame->TransformationMatrix, bytes, kMatrixBytes);
            memcpy(&frame->matInitial, bytes, kMatrixBytes);
        }
        delete[] bytes;
    }

    if (type == TID_D3DRMMesh && (dwFlags & kLoadMeshes)) {
        const bool frameAtHand = slot && *slot && (dwFlags & kBuildFrames);
        if (!isReference) {
            CMeshContainer* container = nullptr;
            CreateSkinnedMeshContainer(&container, pDevice, data, pTexturePath, dwFVF, dwOptions);
            if (container) {
                container->pNextMeshContainer = pMeshContainers;
                pMeshContainers = container;
                if (frameAtHand) {
                    (*slot)->pMeshContainer = container;
                }
            }
        } else if (frameAtHand && pMeshContainers) {
            char* name = GetFileDataName(data);
            if (name) {
                (*slot)->pMeshContainer = pMeshContainers->Find(name);
                delete[] name;
            }
        }
    }
    return ParseChildObjects(data, depth, slot, isReference);
}

bool CXFileLoader::ParseChildObjects(ID3DXFileData* data, DWORD depth, D3DXFRAME** slot, bool isReference) {
    return ForEachChild(data, [this, data, depth, slot, isReference](ID3DXFileData* child) {
        const bool childIsReference = child->IsReference() != FALSE || isReference;
        return ParseObject(child, data, depth + 1, slot, childIsReference);
    });
}

// ---- Front ends ----

namespace {

// Each skinned container's bones point at the combined matrix of the frame of their name (or null).
void LinkBones(CMeshContainer* chain, CHierarchyFrame* root) {
    for (CMeshContainer* c = chain; c; c = static_cast<CMeshContainer*>(c->pNextMeshContainer)) {
        if (!c->pSkinInfo) {
            continue;
        }
        const DWORD bones = c->pSkinInfo->GetNumBones();
        // The container frees these with free().
        free(c->ppBoneMatrixPtrs);
        free(c->pBoneMatrices);
        c->ppBoneMatrixPtrs = static_cast<D3DXMATRIX**>(calloc(bones > 0 ? bones : 1, sizeof(D3DXMATRIX*)));
        c->pBoneMatrices = static_cast<D3DXMATRIX*>(calloc(bones > 0 ? bones : 1, sizeof(D3DXMATRIX)));
        if (!c->ppBoneMatrixPtrs || !c->pBoneMatrices) {
            continue;
        }
        for (DWORD i = 0; i < bones; ++i) {
            CHierarchyFrame* frame = root->Find(c->pSkinInfo->GetBoneName(i));
            c->ppBoneMatrixPtrs[i] = frame ? &frame->matCombined : nullptr;
        }
    }
}

HRESULT LoadHierarchy(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                      CHierarchyFrame* attachTo, IDirect3DDevice9* device, const char* fileName,
                      const char* texturePath, DWORD fvf, DWORD options) {
    if (!device || !fileName || !texturePath) {
        return E_FAIL;
    }
    CXFileLoader loader;
    loader.pDevice = device;
    loader.pTexturePath = texturePath;
    loader.dwFVF = fvf;
    loader.dwOptions = options;
    loader.dwFlags = (ppMeshContainers ? kLoadMeshes : 0) | (ppFrameRoot ? kBuildFrames : 0);
    loader.Load(fileName, nullptr);

    CHierarchyFrame* root = AsHierarchyFrame(loader.pFrameRoot);
    if (ppMeshContainers) {
        if (ppFrameRoot && loader.pMeshContainers && root) {
            if (attachTo) {
                attachTo->pFrameSibling = root;
            }
            LinkBones(loader.pMeshContainers, root);
        }
        *ppMeshContainers = loader.pMeshContainers;
        loader.pMeshContainers = nullptr;
    }
    if (ppFrameRoot) {
        *ppFrameRoot = root;
        loader.pFrameRoot = nullptr;
    }
    return S_OK;
}

} // namespace

HRESULT LoadHierarchyFromX(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                           IDirect3DDevice9* device, const char* fileName, const char* texturePath, DWORD fvf,
                           DWORD options) {
    return LoadHierarchy(ppMeshContainers, ppFrameRoot, nullptr, device, fileName, texturePath, fvf, options);
}

HRESULT LoadHierarchyFromXAttached(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                                   CHierarchyFrame* attachTo, IDirect3DDevice9* device, const char* fileName,
                                   const char* texturePath, DWORD fvf, DWORD options) {
    return LoadHierarchy(ppMeshContainers, ppFrameRoot, attachTo, device, fileName, texturePath, fvf,
                         options);
}

// ---- The parser base ----

int CXFileParser::Load(const char* fileName, DWORD context) {
    const bool opened = WalkXFile(fileName, [this, context](ID3DXFileEnumObject* enumeration) {
        if (BeginParse(context) == 1) {
            ForEachChild(enumeration, [this, context](ID3DXFileData* child) {
                return ParseObject(child, nullptr, 0, context, child->IsReference() != FALSE);
            });
        }
        EndParse(context);
    });
    return opened ? 1 : 0;
}

bool CXFileParser::ParseChildObjects(ID3DXFileData* data, DWORD depth, DWORD context, bool isReference) {
    return ForEachChild(data, [this, data, depth, context, isReference](ID3DXFileData* child) {
        const bool childIsReference = child->IsReference() != FALSE || isReference;
        return ParseObject(child, data, depth + 1, context, childIsReference);
    });
}
