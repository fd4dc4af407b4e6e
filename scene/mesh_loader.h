// Loading mesh containers from .x files, and vertex shaders.
#pragma once

#include <windows.h>
#include <d3dx9.h>

#include "scene/mesh_container.h"

// Each hands the new container out through its first argument as soon as it exists; the caller owns it.
// E_FAIL for a null or empty required argument, the platform's result when a load or a needed
// conversion fails.

// The game's loader. Textures come from textureFolder joined with each material's file name, so the
// folder ends with its separator, as the game's folders do (services/game_folders.h); a texture whose
// path would not fit in 260 bytes is not loaded. With an FVF the mesh is cloned to it with `options`.
HRESULT LoadMeshFromX(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file,
                      const char* textureFolder, DWORD fvf, DWORD options);
// One mesh data object of an X file, with its skin when it has at least one bone; the skin describes
// the vertices of the container's mesh (the FVF clone when one is made), wherever the file puts its skin
// data. D3DXERR_INVALIDDATA, nothing created, for a skin whose weights name a vertex the mesh does not
// have.
HRESULT CreateSkinnedMeshContainer(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice,
                                   ID3DXFileData* pData, const char* textureFolder, DWORD fvf, DWORD options);
// As LoadMeshFromX without keeping the clone's buffers; `reserved` is not read and matTransform is the
// identity.
HRESULT LoadMeshFromXWithMatrix(CMeshContainer** ppContainer, DWORD reserved, IDirect3DDevice9* pDevice,
                                const char* file, const char* textureFolder, DWORD fvf, DWORD options);
// An attribute-sorted mesh with its attribute table and the buffers of a write-only FVF clone; no
// materials. Releases (and nulls) the two buffer references it is given.
HRESULT LoadMeshSorted(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file, DWORD fvf,
                       IDirect3DVertexBuffer9*& vertexBuffer, IDirect3DIndexBuffer9*& indexBuffer);
// The mesh in the effect layout (position, normal, 3-float texture coordinate, tangent, binormal,
// colour) with normals and tangents computed, its declaration, the load's materials and effect
// instances; no textures.
HRESULT LoadMeshForEffect(CMeshContainer** ppContainer, IDirect3DDevice9* pDevice, const char* file);
// Assembles a vertex shader file; with elements and ppDeclaration also creates that declaration.
HRESULT LoadVertexShader(IDirect3DVertexShader9** ppShader, IDirect3DDevice9* pDevice, const char* file,
                         const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** ppDeclaration);
