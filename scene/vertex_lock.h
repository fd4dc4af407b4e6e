// Inside the scene: a mesh's vertex buffer locked for the length of a scope, the one way the scene's
// code reads or writes a mesh's vertices.
#pragma once

#include <d3dx9.h>

// Locks the mesh's vertex buffer with the given flags. It counts as locked only when the lock succeeds
// and hands out a pointer: a lock that succeeds without one is undone at once. Only a lock held is
// undone, once, by Unlock or at the end of the scope.
class VertexLock {
public:
    VertexLock(ID3DXMesh* mesh, DWORD flags) : m_mesh(mesh) {
        m_result = mesh->LockVertexBuffer(flags, &m_data);
        if (FAILED(m_result)) {
            m_data = nullptr;
        } else if (!m_data) {
            mesh->UnlockVertexBuffer();
        }
    }
    ~VertexLock() { Unlock(); }
    VertexLock(const VertexLock&) = delete;
    VertexLock& operator=(const VertexLock&) = delete;

    bool IsLocked() const { return m_data != nullptr; }
    // The vertices, null unless locked.
    template <typename T = void> T* Data() const { return static_cast<T*>(m_data); }
    // Why the vertices cannot be used: the platform's failure, E_FAIL for a lock without a pointer, or
    // S_OK while locked.
    HRESULT Failure() const { return IsLocked() ? S_OK : FAILED(m_result) ? m_result : E_FAIL; }
    // Undoes the lock now: the platform's answer, or S_OK when no lock is held.
    HRESULT Unlock() {
        if (!m_data) {
            return S_OK;
        }
        m_data = nullptr;
        return m_mesh->UnlockVertexBuffer();
    }

private:
    ID3DXMesh* m_mesh;
    void* m_data = nullptr;
    HRESULT m_result = S_OK;
};
