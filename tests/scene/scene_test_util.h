// What the scene tests share: meshes and containers built in code, solid textures and pixel checks.
#pragma once

#include "harness.h"
#include "scene/scene.h"

#include <cstdlib>
#include <cstring>
#include <vector>

// A screen rectangle drawn as one subset of a pre-transformed mesh.
struct ScreenQuad {
    float x0, y0, x1, y1;
    D3DCOLOR colour;
};

// A mesh of quads (subset i = quad i) in the managed pool; vertex(x, y, colour, u, v) makes one
// corner of the vertex format fvf.
template <class Vertex, class MakeVertex>
ID3DXMesh* BuildQuadMesh(IDirect3DDevice9* device, const std::vector<ScreenQuad>& quads, DWORD fvf,
                         MakeVertex vertex) {
    const DWORD count = static_cast<DWORD>(quads.size());
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXCreateMeshFVF(2 * count, 4 * count, D3DXMESH_MANAGED, fvf, device, &mesh))) {
        return nullptr;
    }
    Vertex* v = nullptr;
    WORD* index = nullptr;
    DWORD* attribute = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&index));
    mesh->LockAttributeBuffer(0, &attribute);
    std::vector<D3DXATTRIBUTERANGE> ranges(count);
    for (DWORD q = 0; q < count; ++q) {
        const ScreenQuad& s = quads[q];
        v[4 * q + 0] = vertex(s.x0, s.y0, s.colour, 0.0f, 0.0f);
        v[4 * q + 1] = vertex(s.x1, s.y0, s.colour, 1.0f, 0.0f);
        v[4 * q + 2] = vertex(s.x1, s.y1, s.colour, 1.0f, 1.0f);
        v[4 * q + 3] = vertex(s.x0, s.y1, s.colour, 0.0f, 1.0f);
        const WORD b = static_cast<WORD>(4 * q);
        const WORD faces[6] = {b, static_cast<WORD>(b + 1), static_cast<WORD>(b + 2),
                               b, static_cast<WORD>(b + 2), static_cast<WORD>(b + 3)};
        memcpy(index + 6 * q, faces, sizeof(faces));
        attribute[2 * q] = q;
        attribute[2 * q + 1] = q;
        ranges[q] = {q, 2 * q, 2, 4 * q, 4};
    }
    mesh->UnlockAttributeBuffer();
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    mesh->SetAttributeTable(ranges.data(), count);
    return mesh;
}

// A mesh of pre-transformed quads, so draws land on known pixels.
inline ID3DXMesh* MakeQuadMesh(IDirect3DDevice9* device, const std::vector<ScreenQuad>& quads) {
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    return BuildQuadMesh<Vertex>(device, quads, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                                 [](float x, float y, D3DCOLOR colour, float u, float v) {
                                     return Vertex{x, y, 0.5f, 1.0f, colour, u, v};
                                 });
}

// Where a world point lands on the screen under the device's viewport and projection and this view.
inline D3DXVECTOR3 ProjectToScreen(const D3DXVECTOR3& world, const D3DXMATRIX& view) {
    D3DVIEWPORT9 viewport;
    g_pd3dDevice->GetViewport(&viewport);
    D3DXMATRIX projection;
    g_pd3dDevice->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, &world, &viewport, &projection, &view, &identity);
    return screen;
}

// A container over `mesh` (which it takes over) with one material per alpha value, allocated the way
// the loaders allocate, and a texture slot array when withTextureSlots.
inline CMeshContainer* MakeContainer(ID3DXMesh* mesh, const std::vector<float>& alphas,
                                     bool withTextureSlots) {
    CMeshContainer* c = new CMeshContainer();
    c->MeshData.Type = D3DXMESHTYPE_MESH;
    c->MeshData.pMesh = mesh;
    c->NumMaterials = static_cast<DWORD>(alphas.size());
    c->pMaterials = static_cast<D3DXMATERIAL*>(calloc(alphas.size(), sizeof(D3DXMATERIAL)));
    for (size_t i = 0; i < alphas.size(); ++i) {
        c->pMaterials[i].MatD3D.Diffuse = {1.0f, 1.0f, 1.0f, alphas[i]};
    }
    if (withTextureSlots) {
        c->ppTextures = static_cast<IDirect3DTexture9**>(calloc(alphas.size(), sizeof(IDirect3DTexture9*)));
    }
    return c;
}

inline IDirect3DTexture9* MakeSolidTexture(IDirect3DDevice9* device, D3DCOLOR colour) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr))) {
        return nullptr;
    }
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 4; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 4; ++x) {
            row[x] = colour;
        }
    }
    texture->UnlockRect(0);
    return texture;
}

// The reference count an interface has, measured without changing it.
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// True when each channel of two 0xRRGGBB colours is within `tolerance`.
inline bool ColourNear(uint32_t actual, uint32_t expected, int tolerance = 4) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (abs(a - e) > tolerance) {
            return false;
        }
    }
    return true;
}
