// A mesh's vertex or index buffer locked for the length of a scope, the one way the stand-ins here and
// the scene read or write a mesh's vertices and indices. Included through platform.h.
#pragma once

#include <d3dx9.h>

using MeshLockMember = decltype(&ID3DXBaseMesh::LockVertexBuffer);
using MeshUnlockMember = decltype(&ID3DXBaseMesh::UnlockVertexBuffer);

// Locks one of the mesh's buffers, through the mesh's own lock and unlock members, with the given flags.
// It counts as locked only when the lock succeeds and hands out a pointer: a lock that succeeds without
// one is undone at once. Only a lock held is undone, once, by Unlock or at the end of the scope.
template <MeshLockMember LockBuffer, MeshUnlockMember UnlockBuffer> class MeshBufferLock {
public:
    MeshBufferLock(ID3DXBaseMesh* mesh, DWORD flags) : m_mesh(mesh) {
        m_result = (mesh->*LockBuffer)(flags, &m_data);
        if (FAILED(m_result)) {
            m_data = nullptr;
        } else if (!m_data) {
            (mesh->*UnlockBuffer)();
        }
    }
    ~MeshBufferLock() { Unlock(); }
    MeshBufferLock(const MeshBufferLock&) = delete;
    MeshBufferLock& operator=(const MeshBufferLock&) = delete;

    bool IsLocked() const { return m_data != nullptr; }
    // The buffer's contents, null unless locked.
    template <typename T = void> T* Data() const { return static_cast<T*>(m_data); }
    // Why the buffer cannot be used: the platform's failure, E_FAIL for a lock without a pointer, or S_OK
    // while locked.
    HRESULT Failure() const { return IsLocked() ? S_OK : FAILED(m_result) ? m_result : E_FAIL; }
    // Undoes the lock now: the platform's answer, or S_OK when no lock is held.
    HRESULT Unlock() {
        if (!m_data) {
            return S_OK;
        }
        m_data = nullptr;
        return (m_mesh->*UnlockBuffer)();
    }

private:
    ID3DXBaseMesh* m_mesh;
    void* m_data = nullptr;
    HRESULT m_result = S_OK;
};

using VertexLock = MeshBufferLock<&ID3DXBaseMesh::LockVertexBuffer, &ID3DXBaseMesh::UnlockVertexBuffer>;
using IndexLock = MeshBufferLock<&ID3DXBaseMesh::LockIndexBuffer, &ID3DXBaseMesh::UnlockIndexBuffer>;

// Both of a mesh's buffers locked with the same flags for the length of a scope, the vertices first.
struct MeshLocks {
    MeshLocks(ID3DXBaseMesh* mesh, DWORD flags) : vertices(mesh, flags), indices(mesh, flags) {}

    bool AreLocked() const { return vertices.IsLocked() && indices.IsLocked(); }
    // Why the buffers cannot be used: the vertex lock's failure, else the index lock's; S_OK while both
    // are locked.
    HRESULT Failure() const { return vertices.IsLocked() ? indices.Failure() : vertices.Failure(); }

    VertexLock vertices;
    IndexLock indices;
};
