// A stand-in mesh for the tests of code that reads a mesh's vertices or indices.
#pragma once

#include <d3dx9.h>

#include <memory>
#include <vector>

// A real mesh one of whose buffers, its vertices or its indices, cannot be read: its lock is refused, or
// succeeds without handing out a pointer, which no real mesh can be made to do on demand. Everything
// else goes to the mesh, and the locks it counts, of both buffers and of its clones, show one left held
// or undone twice. A clone is a stand-in as unreadable, which lives as long as this one. The test owns
// it: the references it counts never free it. Asked for a mesh interface it answers for itself, so that
// no caller reaches the readable mesh behind it.
class UnreadableMesh final : public ID3DXMesh {
public:
    enum Buffer { Vertices, Indices };

    UnreadableMesh(ID3DXMesh* mesh, HRESULT lockResult, Buffer unreadable = Vertices)
        : UnreadableMesh(mesh, lockResult, unreadable, nullptr) {}
    ~UnreadableMesh() {
        if (m_original) {
            m_mesh->Release(); // a clone's mesh is its own
        }
    }
    UnreadableMesh(const UnreadableMesh&) = delete;
    UnreadableMesh& operator=(const UnreadableMesh&) = delete;

    STDMETHOD(QueryInterface)(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_ID3DXBaseMesh) ||
            IsEqualGUID(iid, IID_ID3DXMesh)) {
            AddRef();
            *object = static_cast<ID3DXMesh*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_references; }
    STDMETHOD_(ULONG, Release)() override { return --m_references; }
    STDMETHOD(DrawSubset)(DWORD attribute) override { return m_mesh->DrawSubset(attribute); }
    STDMETHOD_(DWORD, GetNumFaces)() override { return m_mesh->GetNumFaces(); }
    STDMETHOD_(DWORD, GetNumVertices)() override { return m_mesh->GetNumVertices(); }
    STDMETHOD_(DWORD, GetFVF)() override { return m_mesh->GetFVF(); }
    STDMETHOD(GetDeclaration)(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override {
        return m_mesh->GetDeclaration(declaration);
    }
    STDMETHOD_(DWORD, GetNumBytesPerVertex)() override { return m_mesh->GetNumBytesPerVertex(); }
    STDMETHOD_(DWORD, GetOptions)() override { return m_mesh->GetOptions(); }
    STDMETHOD(GetDevice)(IDirect3DDevice9** device) override { return m_mesh->GetDevice(device); }
    STDMETHOD(CloneMeshFVF)(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) override {
        return Cloned(m_mesh->CloneMeshFVF(options, fvf, device, clone), clone);
    }
    STDMETHOD(CloneMesh)
    (DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
     ID3DXMesh** clone) override {
        return Cloned(m_mesh->CloneMesh(options, declaration, device, clone), clone);
    }
    STDMETHOD(GetVertexBuffer)(IDirect3DVertexBuffer9** buffer) override {
        return m_mesh->GetVertexBuffer(buffer);
    }
    STDMETHOD(GetIndexBuffer)(IDirect3DIndexBuffer9** buffer) override {
        return m_mesh->GetIndexBuffer(buffer);
    }
    STDMETHOD(LockVertexBuffer)(DWORD flags, void** data) override {
        return CountedLock(Vertices, &ID3DXMesh::LockVertexBuffer, flags, data);
    }
    STDMETHOD(UnlockVertexBuffer)() override {
        return CountedUnlock(Vertices, &ID3DXMesh::UnlockVertexBuffer);
    }
    STDMETHOD(LockIndexBuffer)(DWORD flags, void** data) override {
        return CountedLock(Indices, &ID3DXMesh::LockIndexBuffer, flags, data);
    }
    STDMETHOD(UnlockIndexBuffer)() override { return CountedUnlock(Indices, &ID3DXMesh::UnlockIndexBuffer); }
    STDMETHOD(GetAttributeTable)(D3DXATTRIBUTERANGE* table, DWORD* size) override {
        return m_mesh->GetAttributeTable(table, size);
    }
    STDMETHOD(ConvertPointRepsToAdjacency)(const DWORD* pointReps, DWORD* adjacency) override {
        return m_mesh->ConvertPointRepsToAdjacency(pointReps, adjacency);
    }
    STDMETHOD(ConvertAdjacencyToPointReps)(const DWORD* adjacency, DWORD* pointReps) override {
        return m_mesh->ConvertAdjacencyToPointReps(adjacency, pointReps);
    }
    STDMETHOD(GenerateAdjacency)(FLOAT epsilon, DWORD* adjacency) override {
        return m_mesh->GenerateAdjacency(epsilon, adjacency);
    }
    STDMETHOD(UpdateSemantics)(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override {
        return m_mesh->UpdateSemantics(declaration);
    }
    STDMETHOD(LockAttributeBuffer)(DWORD flags, DWORD** data) override {
        return m_mesh->LockAttributeBuffer(flags, data);
    }
    STDMETHOD(UnlockAttributeBuffer)() override { return m_mesh->UnlockAttributeBuffer(); }
    STDMETHOD(Optimize)
    (DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap, ID3DXBuffer** vertexRemap,
     ID3DXMesh** optimized) override {
        return m_mesh->Optimize(flags, adjacencyIn, adjacencyOut, faceRemap, vertexRemap, optimized);
    }
    STDMETHOD(OptimizeInplace)
    (DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap,
     ID3DXBuffer** vertexRemap) override {
        return m_mesh->OptimizeInplace(flags, adjacencyIn, adjacencyOut, faceRemap, vertexRemap);
    }
    STDMETHOD(SetAttributeTable)(const D3DXATTRIBUTERANGE* table, DWORD size) override {
        return m_mesh->SetAttributeTable(table, size);
    }

    int locksHeld = 0;
    int strayUnlocks = 0; // unlocks without a lock held

private:
    UnreadableMesh(ID3DXMesh* mesh, HRESULT lockResult, Buffer unreadable, UnreadableMesh* original)
        : m_mesh(mesh), m_lockResult(lockResult), m_unreadable(unreadable), m_original(original) {}

    // The counts the test reads: a clone's go to its original.
    UnreadableMesh& Counts() { return m_original ? m_original->Counts() : *this; }

    // The unreadable buffer's lock is refused, or hands out no pointer; the other's is the mesh's.
    HRESULT CountedLock(Buffer buffer, decltype(&ID3DXMesh::LockVertexBuffer) lock, DWORD flags,
                        void** data) {
        if (buffer == m_unreadable && FAILED(m_lockResult)) {
            return m_lockResult;
        }
        const HRESULT hr = (m_mesh->*lock)(flags, data);
        if (SUCCEEDED(hr)) {
            ++m_held[buffer];
            ++Counts().locksHeld;
            if (buffer == m_unreadable) {
                *data = nullptr;
            }
        }
        return hr;
    }
    HRESULT CountedUnlock(Buffer buffer, decltype(&ID3DXMesh::UnlockVertexBuffer) unlock) {
        if (m_held[buffer] == 0) {
            ++Counts().strayUnlocks;
            return D3DERR_INVALIDCALL;
        }
        --m_held[buffer];
        --Counts().locksHeld;
        return (m_mesh->*unlock)();
    }
    HRESULT Cloned(HRESULT hr, ID3DXMesh** clone) {
        if (SUCCEEDED(hr) && clone && *clone) {
            m_clones.emplace_back(new UnreadableMesh(*clone, m_lockResult, m_unreadable, this));
            *clone = m_clones.back().get();
        }
        return hr;
    }

    ID3DXMesh* m_mesh;
    HRESULT m_lockResult;
    Buffer m_unreadable;
    UnreadableMesh* m_original; // null unless this is a clone
    std::vector<std::unique_ptr<UnreadableMesh>> m_clones;
    int m_held[2] = {};
    ULONG m_references = 1;
};
