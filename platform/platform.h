// The small layer that stands in for platform functions Wine lacks. Every function here is used only
// where the platform's own is missing; elsewhere the real one is called. The mesh buffer locks they read
// meshes through are the scene's too.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "platform/mesh_lock.h"

// True when the program runs under Wine (told by ntdll's wine_get_version, since some of the missing
// functions abort the process when called and cannot be probed).
bool IsRunningOnWine();

// IDirect3DDevice9::GetFrontBufferData, which on Wine 8.0 fills the surface with black for a windowed
// device. There the display is read through GDI instead: the whole screen, as the player sees it, into
// `surface`, an A8R8G8B8 surface that the caller can lock (D3DERR_INVALIDCALL for any other format).
// The part that lies outside the screen or the surface is left as it was.
HRESULT CaptureDisplay(IDirect3DSurface9* surface);

// D3DXComputeTangent, which aborts the process on Wine 8.0. There our own computation writes, in place,
// the unit tangent (the direction of growing u of texture coordinate `texStage`) into the vertex's
// TANGENT element `tangentIndex` and the unit binormal (growing v) into BINORMAL `binormIndex`
// (D3DX_DEFAULT: none), both made perpendicular to the vertex's normal when it has one, the binormal
// also to the tangent. Non-zero `wrap` takes coordinate steps the short way round the [0, 1] wrap
// (a face that spans the whole texture keeps its plain steps).
// Adjacency is not needed: no vertex is split. D3DERR_INVALIDCALL when the mesh lacks the position,
// texture coordinate or output elements in a float form.
HRESULT ComputeTangent(ID3DXMesh* mesh, DWORD texStage, DWORD tangentIndex, DWORD binormIndex, DWORD wrap,
                       const DWORD* adjacency);

struct IDirectInputDevice8A;

// IDirectInputDevice8A::GetDeviceState, answering DIERR_INPUTLOST for a device the system took away
// when the window lost the foreground, as Windows does. Only for a device the caller acquired and has
// not unacquired itself: on Wine such a device then reads DIERR_NOTACQUIRED, which is mapped here.
HRESULT GetDeviceStateReportingLoss(IDirectInputDevice8A* device, DWORD size, void* data);

// ---- X files ----
// mingw-w64 has no header for these: the standard binary template block, registered before every
// enumeration of an X file, and the GUIDs of the templates the loaders tell apart (defined in dxguid).
constexpr DWORD D3DRM_XTEMPLATE_BYTES = 3278;
extern const unsigned char (&D3DRM_XTEMPLATES)[D3DRM_XTEMPLATE_BYTES];
extern "C" const GUID TID_D3DRMMesh;
extern "C" const GUID TID_D3DRMFrame;
extern "C" const GUID TID_D3DRMFrameTransformMatrix;

// D3DXLoadMeshFromXof, which aborts the process on Wine 8.0. There the mesh is loaded with
// D3DXLoadSkinMeshFromXof and the skin data dropped: the same mesh, materials and adjacency.
HRESULT LoadMeshFromXof(ID3DXFileData* data, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                        ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                        ID3DXMesh** mesh);

// D3DXIntersect, which returns E_NOTIMPL on Wine 8.0: there every face is tested and the closest hit
// reported, with the platform's conventions (barycentric u, v from the face's first corner; the distance
// in lengths of the direction; both windings). On a miss only `hit` and `hitCount` are written, and
// `allHits` is set to null.
HRESULT Intersect(ID3DXBaseMesh* mesh, const D3DXVECTOR3* rayOrigin, const D3DXVECTOR3* rayDirection,
                  BOOL* hit, DWORD* faceIndex, float* u, float* v, float* distance, ID3DXBuffer** allHits,
                  DWORD* hitCount);

// True when every bone influence of the skin names one of the first `vertexCount` vertices (a bone whose
// influences cannot be read has none): a file's indices are not to be trusted.
bool SkinInfluencesWithin(ID3DXSkinInfo* skin, DWORD vertexCount);

// ID3DXSkinInfo::UpdateSkinnedMesh, which returns E_NOTIMPL on Wine 8.0: there our own linear-blend
// skinning writes, for every vertex some bone influences, the weighted sum of its position taken through
// each influencing bone's matrix, and likewise its normal (through `boneInvTransposeTransforms` when
// given). Vertices no bone influences are left as `destination` had them. The vertex layout is the skin
// information's declaration. `vertexCount` is how many vertices both buffers hold: an influence on a
// vertex beyond them gives D3DERR_INVALIDCALL with nothing written, on every platform.
HRESULT SkinInfoUpdateSkinnedMesh(ID3DXSkinInfo* skin, const D3DXMATRIX* boneTransforms,
                                  const D3DXMATRIX* boneInvTransposeTransforms, const void* source,
                                  void* destination, DWORD vertexCount);
