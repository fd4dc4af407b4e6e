// Loading meshes from .x files into mesh containers, and assembling vertex shaders.
#include "services/file_path.h"
#include "services/picture_file.h"
#include "services/safe_release.h"
#include "platform/platform.h"
#include "scene/mesh_loader.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t kMaxTexturePath = 260;

// The effect wrapper's vertex layout, 64 bytes a vertex; the texture coordinate is three floats wide.
constexpr D3DVERTEXELEMENT9 kEffectVertexElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 36, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 48, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_BINORMAL, 0},
    {0, 60, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0},
};

// What a mesh without materials is drawn with: white, opaque, no texture.
D3DMATERIAL9 WhiteMaterial() {
    D3DMATERIAL9 white = {};
    white.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    white.Ambient = white.Diffuse;
    white.Specular = white.Diffuse;
    return white;
}

// A required text argument: null and empty are both refused.
bool Missing(const char* text) {
    return !text || text[0] == '\0';
}

char* CopyString(const char* text) {
    const size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) {
        memcpy(copy, text, size);
    }
    return copy;
}

// The adjacency of a load, or null when the buffer is empty.
DWORD* CopyAdjacency(ID3DXBuffer* adjacency) {
    if (!adjacency || adjacency->GetBufferSize() == 0) {
        return nullptr;
    }
    const DWORD size = adjacency->GetBufferSize();
    DWORD* copy = static_cast<DWORD*>(malloc(size));
    if (copy) {
        memcpy(copy, adjacency->GetBufferPointer(), size);
    }
    return copy;
}

// Hands out consecutive pieces of one block. Sizing pass: base is null and only `used` grows.
struct BlockCursor {
    BYTE* base;
    size_t used;

    void* Take(size_t size, size_t alignment) {
        used = (used + alignment - 1) / alignment * alignment;
        void* p = base ? base + used : nullptr;
        used += size;
        return p;
    }
    char* TakeString(const char* text) {
        if (!text) {
            return nullptr;
        }
        const size_t size = strlen(text) + 1;
        char* p = static_cast<char*>(Take(size, 1));
        if (p) {
            memcpy(p, text, size);
        }
        return p;
    }
};

// Runs fill twice on one cursor: first to size the block, then, once it is allocated, to fill it.
// Returns what the filling run returns, or null when the block cannot be allocated.
template <class T, class Fill> T* FillOneBlock(Fill fill) {
    BlockCursor cursor = {nullptr, 0};
    fill(cursor);
    cursor.base = static_cast<BYTE*>(calloc(1, cursor.used > 0 ? cursor.used : 1));
    if (!cursor.base) {
        return nullptr;
    }
    cursor.used = 0;
    return fill(cursor);
}

// One block holding `entries` materials and their texture names: the first `count` from the load, the
// rest (when the mesh has more subsets than materials) the white default with no texture.
D3DXMATERIAL* CopyMaterialsWithNames(const D3DXMATERIAL* source, DWORD count, DWORD entries) {
    return FillOneBlock<D3DXMATERIAL>([&](BlockCursor& cursor) {
        D3DXMATERIAL* materials = static_cast<D3DXMATERIAL*>(cursor.Take(sizeof(D3DXMATERIAL) * entries, 8));
        for (DWORD i = 0; i < entries; ++i) {
            D3DXMATERIAL material = {};
            material.MatD3D = i < count ? source[i].MatD3D : WhiteMaterial();
            material.pTextureFilename = cursor.TakeString(i < count ? source[i].pTextureFilename : nullptr);
            if (materials) {
                materials[i] = material;
            }
        }
        return materials;
    });
}

// One block holding the effect instances with their file names and defaults.
D3DXEFFECTINSTANCE* CopyEffects(const D3DXEFFECTINSTANCE* source, DWORD count) {
    if (!source || count == 0) {
        return nullptr;
    }
    return FillOneBlock<D3DXEFFECTINSTANCE>([&](BlockCursor& cursor) {
        D3DXEFFECTINSTANCE* effects =
            static_cast<D3DXEFFECTINSTANCE*>(cursor.Take(sizeof(D3DXEFFECTINSTANCE) * count, 8));
        for (DWORD i = 0; i < count; ++i) {
            D3DXEFFECTINSTANCE effect = source[i];
            effect.pEffectFilename = cursor.TakeString(source[i].pEffectFilename);
            effect.pDefaults = static_cast<D3DXEFFECTDEFAULT*>(
                cursor.Take(sizeof(D3DXEFFECTDEFAULT) * source[i].NumDefaults, 8));
            for (DWORD d = 0; d < source[i].NumDefaults; ++d) {
                D3DXEFFECTDEFAULT value = source[i].pDefaults[d];
                value.pParamName = cursor.TakeString(source[i].pDefaults[d].pParamName);
                value.pValue = cursor.Take(value.NumBytes, 8);
                if (value.pValue) {
                    memcpy(value.pValue, source[i].pDefaults[d].pValue, value.NumBytes);
                }
                if (effect.pDefaults) {
                    effect.pDefaults[d] = value;
                }
            }
            if (effects) {
                effects[i] = effect;
            }
        }
        return effects;
    });
}

bool SameColour(const D3DCOLORVALUE& c, float r, float g, float b, float a) {
    return c.r == r && c.g == g && c.b == b && c.a == a;
}

// For a mesh without materials the platform's loader may hand back a stand-in of its own: one grey,
// fully transparent material without a texture. Drawn as it is, such a mesh would blend.
bool IsPlatformStandInMaterial(const D3DXMATERIAL* materials, DWORD count) {
    if (count != 1 || materials[0].pTextureFilename) {
        return false;
    }
    const D3DMATERIAL9& m = materials[0].MatD3D;
    return SameColour(m.Diffuse, 0.5f, 0.5f, 0.5f, 0.0f) && SameColour(m.Specular, 0.5f, 0.5f, 0.5f, 0.0f) &&
           SameColour(m.Ambient, 0.0f, 0.0f, 0.0f, 0.0f) && SameColour(m.Emissive, 0.0f, 0.0f, 0.0f, 0.0f) &&
           m.Power == 0.0f;
}

// The materials of a load: Ambient made equal to Diffuse, no texture names kept, each named texture
// loaded from folder + name into its slot (a missing or too long path leaves the slot null). A load
// without materials gets one white material.
HRESULT FillMaterials(CMeshContainer* container, IDirect3DDevice9* device, ID3DXBuffer* materialBuffer,
                      DWORD count, const char* folder) {
    const D3DXMATERIAL* loaded =
        materialBuffer ? static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer()) : nullptr;
    if (!loaded || IsPlatformStandInMaterial(loaded, count)) {
        count = 0;
    }
    const DWORD entries = count > 0 ? count : 1;
    container->pMaterials = static_cast<D3DXMATERIAL*>(calloc(entries, sizeof(D3DXMATERIAL)));
    container->ppTextures = static_cast<IDirect3DTexture9**>(calloc(entries, sizeof(IDirect3DTexture9*)));
    if (!container->pMaterials || !container->ppTextures) {
        return E_OUTOFMEMORY;
    }
    container->NumMaterials = entries;
    if (count == 0) {
        container->pMaterials[0].MatD3D = WhiteMaterial();
        return S_OK;
    }
    for (DWORD i = 0; i < count; ++i) {
        container->pMaterials[i].MatD3D = loaded[i].MatD3D;
        container->pMaterials[i].MatD3D.Ambient = loaded[i].MatD3D.Diffuse;
        container->pMaterials[i].pTextureFilename = nullptr;
        const char* name = loaded[i].pTextureFilename;
        if (!name) {
            continue;
        }
        char path[kMaxTexturePath];
        if (!JoinPathInto(path, folder, name)) {
            continue; // would be cut short: never load a different file
        }
        IDirect3DTexture9* texture = nullptr;
        if (SUCCEEDED(CheckedCreateTextureFromFile(device, path, &texture))) {
            container->ppTextures[i] = texture;
        }
    }
    return S_OK;
}

// What the .x loaders hold between the load and the container; Release frees whatever is left.
struct LoadedMesh {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
    ID3DXBuffer* effects = nullptr;
    ID3DXSkinInfo* skin = nullptr;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    D3DXATTRIBUTERANGE* attributeTable = nullptr; // attributeCount ranges, from CopyAttributeTable
    DWORD attributeCount = 0;

    void Release() {
        SafeRelease(mesh);
        SafeRelease(skin);
        SafeRelease(materials);
        SafeRelease(effects);
        SafeRelease(adjacency);
        SafeRelease(vertexBuffer);
        SafeRelease(indexBuffer);
        free(attributeTable);
        attributeTable = nullptr;
    }
};

// The file is loaded to system memory when an FVF is asked for, and the clone then gets `options`.
DWORD LoadOptions(DWORD fvf, DWORD options) {
    return fvf != 0 ? static_cast<DWORD>(D3DXMESH_SYSTEMMEM) : options;
}

// Replaces the loaded mesh by its FVF clone; on failure releases everything loaded.
HRESULT CloneToFvf(LoadedMesh& loaded, IDirect3DDevice9* device, DWORD fvf, DWORD options, bool keepBuffers) {
    ID3DXMesh* clone = nullptr;
    const HRESULT hr = loaded.mesh->CloneMeshFVF(options, fvf, device, &clone);
    if (FAILED(hr)) {
        loaded.Release();
        return hr;
    }
    if (keepBuffers) {
        clone->GetVertexBuffer(&loaded.vertexBuffer);
        clone->GetIndexBuffer(&loaded.indexBuffer);
    }
    loaded.mesh->Release();
    loaded.mesh = clone;
    return S_OK;
}

// The skinning steps through the vertices in the skin's layout, which must be the mesh's. The platform
// gives the skin the layout it had read when it met the skin header (only the positions, when normals or
// texture coordinates follow it in the file), and a clone changes the mesh's. On failure releases
// everything loaded.
HRESULT GiveSkinTheMeshLayout(LoadedMesh& loaded) {
    if (!loaded.skin) {
        return S_OK;
    }
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    HRESULT hr = loaded.mesh->GetDeclaration(elements);
    if (SUCCEEDED(hr)) {
        hr = loaded.skin->SetDeclaration(elements);
    }
    if (FAILED(hr)) {
        loaded.Release();
    }
    return hr;
}

// A new container, handed out at once, that takes the name and the loaded mesh with its buffers, skin
// and attribute table, and a copy of the adjacency; `loaded` keeps the materials and effects. Null, with
// the name freed and everything loaded released, when it cannot be allocated.
CMeshContainer* NewContainer(CMeshContainer** ppContainer, LoadedMesh& loaded, char* name) {
    CMeshContainer* container = new (std::nothrow) CMeshContainer();
    if (!container) {
        free(name);
        loaded.Release();
        return nullptr;
    }
    *ppContainer = container;
    container->Name = name;
    container->MeshData.Type = D3DXMESHTYPE_MESH;
    container->MeshData.pMesh = loaded.mesh;
    container->pVertexBuffer = loaded.vertexBuffer;
    container->pIndexBuffer = loaded.indexBuffer;
    container->pAdjacency = CopyAdjacency(loaded.adjacency);
    container->pSkinInfo = loaded.skin;
    container->pAttributeTable = loaded.attributeTable;
    loaded.mesh = nullptr;
    loaded.vertexBuffer = nullptr;
    loaded.indexBuffer = nullptr;
    loaded.skin = nullptr;
    loaded.attributeTable = nullptr;
    SafeRelease(loaded.adjacency);
    return container;
}

// Builds the container of a loaded (and possibly cloned) mesh and hands it out; `loaded` is consumed.
HRESULT BuildContainer(CMeshContainer** ppContainer, IDirect3DDevice9* device, LoadedMesh& loaded, char* name,
                       const char* folder, CMeshContainer** built) {
    CMeshContainer* const container = NewContainer(ppContainer, loaded, name);
    if (!container) {
        return E_OUTOFMEMORY;
    }
    *built = container;

    if (container->pSkinInfo) {
        ID3DXMesh* mesh = container->MeshData.pMesh;
        mesh->CloneMeshFVF(0, mesh->GetFVF(), device, &container->pSkinnedMesh);
    }
    const HRESULT hr = FillMaterials(container, device, loaded.materials, loaded.materialCount, folder);
    SafeRelease(loaded.materials);
    if (FAILED(hr)) {
        return hr;
    }
    container->MeshData.pMesh->OptimizeInplace(D3DXMESHOPT_DONOTSPLIT, nullptr, nullptr, nullptr, nullptr);
    return S_OK;
}

// LoadMeshFromX and LoadMeshFromXWithMatrix, which differ only in keeping the clone's buffers.
HRESULT LoadFileMesh(CMeshContainer** ppContainer, IDirect3DDevice9* device, const char* file,
                     const char* folder, DWORD fvf, DWORD options, bool keepBuffers, CMeshContainer** built) {
    if (!ppContainer || !device || Missing(file) || Missing(folder)) {
        return E_FAIL;
    }
    LoadedMesh loaded;
    HRESULT hr = D3DXLoadMeshFromXA(file, LoadOptions(fvf, options), device, &loaded.adjacency,
                                    &loaded.materials, nullptr, &loaded.materialCount, &loaded.mesh);
    if (FAILED(hr)) {
        return hr;
    }
    if (fvf != 0) {
        hr = CloneToFvf(loaded, device, fvf, options, keepBuffers);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return BuildContainer(ppContainer, device, loaded, CopyString(file), folder, built);
}

// Sorts a mesh by attribute in place, which makes its attribute table, and renumbers the faces of
// its adjacency to match. The platform's own adjacency output is not used: Wine faults on it.
void SortByAttribute(ID3DXMesh* mesh, ID3DXBuffer* adjacency) {
    const DWORD faceCount = mesh->GetNumFaces();
    std::vector<DWORD> remap(faceCount); // new face -> old face
    if (FAILED(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, remap.data(), nullptr))) {
        return;
    }
    if (!adjacency || adjacency->GetBufferSize() < 3 * sizeof(DWORD) * faceCount) {
        return;
    }
    for (DWORD f = 0; f < faceCount; ++f) {
        if (remap[f] >= faceCount) {
            return;
        }
    }
    std::vector<DWORD> newIndex(faceCount);
    for (DWORD f = 0; f < faceCount; ++f) {
        newIndex[remap[f]] = f;
    }
    DWORD* neighbours = static_cast<DWORD*>(adjacency->GetBufferPointer());
    const std::vector<DWORD> old(neighbours, neighbours + 3 * faceCount);
    for (DWORD f = 0; f < faceCount; ++f) {
        for (DWORD k = 0; k < 3; ++k) {
            const DWORD n = old[3 * remap[f] + k];
            neighbours[3 * f + k] = n < faceCount ? newIndex[n] : n;
        }
    }
}

// A mesh's attribute ranges in a new array; the count is 0 (and the array null) when there are none.
// A mesh the platform loaded without ranges is sorted by attribute first.
D3DXATTRIBUTERANGE* CopyAttributeTable(ID3DXMesh* mesh, ID3DXBuffer* adjacency, DWORD* count) {
    *count = 0;
    mesh->GetAttributeTable(nullptr, count);
    if (*count == 0) {
        SortByAttribute(mesh, adjacency);
        mesh->GetAttributeTable(nullptr, count);
    }
    if (*count == 0) {
        return nullptr;
    }
    D3DXATTRIBUTERANGE* table = static_cast<D3DXATTRIBUTERANGE*>(calloc(*count, sizeof(D3DXATTRIBUTERANGE)));
    if (!table || FAILED(mesh->GetAttributeTable(table, count))) {
        free(table);
        *count = 0;
        return nullptr;
    }
    return table;
}

} // namespace

HRESULT LoadMeshFromX(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file,
                      const char* textureFolder, DWORD fvf, DWORD options) {
    CMeshContainer* built = nullptr;
    return LoadFileMesh(ppContainer, pDevice, file, textureFolder, fvf, options, true, &built);
}

HRESULT LoadMeshFromXWithMatrix(CMeshContainer** ppContainer, DWORD reserved, IDirect3DDevice9* pDevice,
                                const char* file, const char* textureFolder, DWORD fvf, DWORD options) {
    (void)reserved;
    CMeshContainer* built = nullptr;
    const HRESULT hr = LoadFileMesh(ppContainer, pDevice, file, textureFolder, fvf, options, false, &built);
    if (built) {
        D3DXMatrixIdentity(&built->matTransform);
    }
    return hr;
}

HRESULT CreateSkinnedMeshContainer(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice,
                                   ID3DXFileData* pData, const char* textureFolder, DWORD fvf,
                                   DWORD options) {
    if (!ppContainer || !pDevice || !pData || Missing(textureFolder)) {
        return E_FAIL;
    }
    LoadedMesh loaded;
    HRESULT hr = D3DXLoadSkinMeshFromXof(pData, LoadOptions(fvf, options), pDevice, &loaded.adjacency,
                                         &loaded.materials, nullptr, &loaded.materialCount, &loaded.skin,
                                         &loaded.mesh);
    if (FAILED(hr)) {
        return hr;
    }
    if (loaded.skin && loaded.skin->GetNumBones() == 0) {
        SafeRelease(loaded.skin);
    }
    if (loaded.skin && !SkinInfluencesWithin(loaded.skin, loaded.mesh->GetNumVertices())) {
        loaded.Release();
        return D3DXERR_INVALIDDATA;
    }
    if (fvf != 0) {
        hr = CloneToFvf(loaded, pDevice, fvf, options, false);
        if (FAILED(hr)) {
            return hr;
        }
    }
    hr = GiveSkinTheMeshLayout(loaded);
    if (FAILED(hr)) {
        return hr;
    }
    char* name = nullptr;
    SIZE_T nameSize = 0;
    if (SUCCEEDED(pData->GetName(nullptr, &nameSize)) && nameSize != 0) {
        name = static_cast<char*>(calloc(1, nameSize));
        if (name && FAILED(pData->GetName(name, &nameSize))) {
            name[0] = '\0';
        }
    }
    CMeshContainer* built = nullptr;
    return BuildContainer(ppContainer, pDevice, loaded, name, textureFolder, &built);
}

HRESULT LoadMeshSorted(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file, DWORD fvf,
                       IDirect3DVertexBuffer9*& vertexBuffer, IDirect3DIndexBuffer9*& indexBuffer) {
    if (!ppContainer || !pDevice || Missing(file)) {
        return E_FAIL;
    }
    LoadedMesh loaded;
    HRESULT hr = D3DXLoadMeshFromXA(file, D3DXMESH_SYSTEMMEM, pDevice, nullptr, nullptr, nullptr,
                                    &loaded.materialCount, &loaded.mesh);
    if (FAILED(hr)) {
        return hr;
    }
    // A failed sort or clone leaves nothing worth a container: report it rather than keep a half mesh.
    ID3DXMesh* sorted = nullptr;
    hr = loaded.mesh->Optimize(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr, &sorted);
    loaded.mesh->Release();
    loaded.mesh = sorted;
    if (FAILED(hr)) {
        loaded.Release();
        return hr;
    }
    loaded.attributeTable = CopyAttributeTable(loaded.mesh, nullptr, &loaded.attributeCount);

    SafeRelease(vertexBuffer);
    SafeRelease(indexBuffer);

    ID3DXMesh* clone = nullptr;
    hr = loaded.mesh->CloneMeshFVF(D3DXMESH_WRITEONLY, fvf, pDevice, &clone);
    if (FAILED(hr)) {
        loaded.Release();
        return hr;
    }
    clone->GetVertexBuffer(&loaded.vertexBuffer);
    clone->GetIndexBuffer(&loaded.indexBuffer);
    clone->Release();
    CMeshContainer* const container = NewContainer(ppContainer, loaded, CopyString(file));
    if (!container) {
        return E_OUTOFMEMORY;
    }
    container->NumMaterials = loaded.attributeCount;
    return S_OK;
}

HRESULT LoadMeshForEffect(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file) {
    if (!ppContainer || !pDevice || Missing(file)) {
        return E_FAIL;
    }
    LoadedMesh loaded;
    HRESULT hr = D3DXLoadMeshFromXA(file, D3DXMESH_SYSTEMMEM, pDevice, &loaded.adjacency, &loaded.materials,
                                    &loaded.effects, &loaded.materialCount, &loaded.mesh);
    if (FAILED(hr)) {
        return hr;
    }
    loaded.attributeTable = CopyAttributeTable(loaded.mesh, loaded.adjacency, &loaded.attributeCount);

    ID3DXMesh* clone = nullptr;
    hr = loaded.mesh->CloneMesh(D3DXMESH_SYSTEMMEM, kEffectVertexElements, pDevice, &clone);
    loaded.mesh->Release();
    loaded.mesh = clone;
    if (FAILED(hr)) {
        // Without the clone there is no mesh in the layout the effect expects.
        loaded.Release();
        return hr;
    }
    D3DXComputeNormals(clone, nullptr);
    ComputeTangent(clone, 0, 0, 0, 1, nullptr);
    clone->GetVertexBuffer(&loaded.vertexBuffer);
    clone->GetIndexBuffer(&loaded.indexBuffer);

    CMeshContainer* const container = NewContainer(ppContainer, loaded, CopyString(file));
    if (!container) {
        return E_OUTOFMEMORY;
    }
    container->NumMaterials = loaded.attributeCount;
    pDevice->CreateVertexDeclaration(kEffectVertexElements, &container->pVertexDeclaration);
    // NumMaterials counts the subsets; where they outnumber the materials (or the file has none), the
    // extra entries are white so that drawing by NumMaterials never reads past the array.
    const D3DXMATERIAL* loadedMaterials =
        loaded.materials ? static_cast<const D3DXMATERIAL*>(loaded.materials->GetBufferPointer()) : nullptr;
    const DWORD copied = loadedMaterials && !IsPlatformStandInMaterial(loadedMaterials, loaded.materialCount)
                             ? loaded.materialCount
                             : 0;
    const DWORD entries = loaded.attributeCount > copied ? loaded.attributeCount : copied;
    if (entries > 0) {
        container->pMaterials = CopyMaterialsWithNames(loadedMaterials, copied, entries);
    }
    if (loaded.effects) {
        container->pEffects = CopyEffects(
            static_cast<const D3DXEFFECTINSTANCE*>(loaded.effects->GetBufferPointer()), loaded.materialCount);
    }
    loaded.Release();
    return S_OK;
}

HRESULT LoadVertexShader(IDirect3DVertexShader9** ppShader, IDirect3DDevice9* pDevice, const char* file,
                         const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** ppDeclaration) {
    if (!ppShader || !pDevice || Missing(file)) {
        return E_FAIL;
    }
    ID3DXBuffer* code = nullptr;
    HRESULT hr = D3DXAssembleShaderFromFileA(file, nullptr, nullptr, 0, &code, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    hr = pDevice->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), ppShader);
    code->Release();
    if (FAILED(hr)) {
        return hr;
    }
    if (elements && ppDeclaration) {
        pDevice->CreateVertexDeclaration(elements, ppDeclaration);
    }
    return S_OK;
}
