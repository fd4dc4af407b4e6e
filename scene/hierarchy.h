// X files as hierarchies: a frame tree and a chain of mesh containers, and a base for parsers of
// their own.
#pragma once

#include <windows.h>
#include <d3dx9.h>

#include "scene/mesh_container.h"

// A frame of an X-file hierarchy. Deleting a frame deletes its siblings and children with their names;
// the containers hung on frames belong to the loader's chain, not to the frames.
class CHierarchyFrame : public D3DXFRAME {
public:
    CHierarchyFrame();
    ~CHierarchyFrame();
    CHierarchyFrame(const CHierarchyFrame&) = delete;
    CHierarchyFrame& operator=(const CHierarchyFrame&) = delete;

    // Depth first: this frame, everything reached through its sibling, then its children. Case counts.
    CHierarchyFrame* Find(const char* name);

    D3DXMATRIX matCombined; // what skinned bones point at; identity until someone combines the tree
    D3DXMATRIX matInitial;  // the matrix read from the file
};

// The state of one hierarchy load. dwFlags: 1 loads meshes, 2 builds frames. What it still holds when
// destroyed (chain and tree) is destroyed with it.
class CXFileLoader {
public:
    CXFileLoader() {}
    ~CXFileLoader();
    CXFileLoader(const CXFileLoader&) = delete;
    CXFileLoader& operator=(const CXFileLoader&) = delete;

    // 1 when the file was opened and walked. `slot` leads to the frame the top level belongs to (null).
    int Load(const char* fileName, D3DXFRAME** slot);
    bool ParseObject(ID3DXFileData* data, ID3DXFileData* parentData, DWORD depth, D3DXFRAME** slot,
                     bool isReference);
    bool ParseChildObjects(ID3DXFileData* data, DWORD depth, D3DXFRAME** slot, bool isReference);

    IDirect3DDevice9* pDevice = nullptr;
    const char* pTexturePath = nullptr;
    DWORD dwFVF = 0;
    DWORD dwOptions = 0;
    DWORD dwFlags = 0;
    CMeshContainer* pMeshContainers = nullptr; // chain, latest first
    D3DXFRAME* pFrameRoot = nullptr;           // a CHierarchyFrame; top-level frames, latest first
};

// Loads a file as a frame tree and a container chain (either may be left out by a null pointer) and
// links skinned bones to their frames. E_FAIL only for a null device, file name or texture path; a
// file that cannot be read gives S_OK with null outputs. The caller deletes the root and the chain head.
HRESULT LoadHierarchyFromX(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                           IDirect3DDevice9* device, const char* fileName, const char* texturePath, DWORD fvf,
                           DWORD options);
// As LoadHierarchyFromX; when both a container and a frame were loaded, attachTo's sibling becomes the
// loaded root (replacing its old sibling). attachTo then deletes that root with itself: the caller must
// not delete it twice.
HRESULT LoadHierarchyFromXAttached(CMeshContainer** ppMeshContainers, CHierarchyFrame** ppFrameRoot,
                                   CHierarchyFrame* attachTo, IDirect3DDevice9* device, const char* fileName,
                                   const char* texturePath, DWORD fvf, DWORD options);

// A base for parsers that handle X-file objects themselves: Load opens the file as the loader does and,
// when BeginParse gives 1, hands each top-level object to ParseObject; EndParse runs either way. The
// virtual operations are in a fixed order.
class CXFileParser {
public:
    virtual int BeginParse(DWORD context) = 0;
    virtual void EndParse(DWORD context) = 0;
    // false stops the walk.
    virtual bool ParseObject(ID3DXFileData* data, ID3DXFileData* parentData, DWORD depth, DWORD context,
                             bool isReference) = 0;

    // 1 when the file was opened.
    int Load(const char* fileName, DWORD context);
    // Hands each child to ParseObject (depth + 1, the reference flag carried down); false at the first false.
    bool ParseChildObjects(ID3DXFileData* data, DWORD depth, DWORD context, bool isReference);

protected:
    ~CXFileParser() {}
};

// X-file data objects: the template GUID; the name as a new char array (null when it has none); a new
// copy of the data (its size through pSize); and the unlock of a locked object. The caller frees the
// arrays with delete[].
GUID GetFileDataType(ID3DXFileData* data);
char* GetFileDataName(ID3DXFileData* data);
BYTE* CopyFileData(ID3DXFileData* data, SIZE_T* pSize);
void UnlockFileData(ID3DXFileData* data);
