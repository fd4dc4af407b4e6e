// The collision library "CD.dll": triangle meshes placed in the world that answer whether their
// surfaces meet. The only header the rest of the program needs of it.
#pragma once

#include <d3dx9math.h>

#ifdef CD_BUILDING_DLL
#define CD_API __declspec(dllexport)
#else
#define CD_API __declspec(dllimport)
#endif

// One triangle mesh and its placement. Made only by newCollisionObject and destroyed with Release, so
// that it is freed by the library that allocated it.
//
// The order of the virtual operations is fixed: callers reach them by their slot in the table, so none
// may be inserted, removed or reordered.
class CCollisionObject {
public:
    // Slot 0: destroys the object.
    virtual void Release() = 0;
    // Slot 1: adds a triangle in mesh space, corners in face order. Ignored after Finish, and for a
    // triangle without area or with a corner that is not a finite number.
    virtual void AddTriangle(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) = 0;
    // Slot 2: builds the bounding-volume tree over the triangles added so far; called once. An object
    // that was never finished collides with nothing.
    virtual void Finish() = 0;
    // Slot 3: the mesh-to-world matrix, copied (identity until set); null is ignored.
    virtual void SetTransform(const D3DXMATRIX* world) = 0;
    // Slot 4: the number of triangles kept.
    virtual int GetTriangleCount() const = 0;
    // Slot 5: true when a triangle of this object, placed by its matrix, meets a triangle of `other`,
    // placed by its own; touching counts. Only surfaces are compared, so a mesh wholly inside another
    // does not collide with it. `flags` is reserved: pass 0.
    virtual bool TestAgainst(CCollisionObject* other, int flags) = 0;

protected:
    ~CCollisionObject() {}
};

// A new, empty object; null when memory runs out.
extern "C" CD_API CCollisionObject* newCollisionObject();
