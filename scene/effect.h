// The effect wrapper: one mesh drawn with an effect file, its parameters bound by semantics.
#pragma once

#include <windows.h>
#include <d3dx9.h>

#include "scene/effect_semantics.h"
#include "scene/frame.h"
#include "scene/mesh_container.h"

// Draws one mesh with an effect file: loads both, finds the effect's parameters by their semantics,
// loads the textures the effect names and selects the first technique the device can run; each frame
// it sets the transforms and the time and draws the mesh once per pass.
//
// Create it value-initialised (static storage, or `new CEffect()`), so that its frame starts
// zero-filled as every frame must. It owns the effect, the compiler's messages and every container it
// loaded, and releases them when destroyed; the textures belong to the effect.
class CEffect {
public:
    CEffect() = default;
    ~CEffect();
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    // Loads the mesh and the effect (both paths used unchanged), reports a failed creation and binds.
    // Adds D3DXSHADER_NO_PRESHADER to dwCompileFlags. Returns the creation's failure, or the result of
    // selecting the technique.
    HRESULT LoadEffect(const char* meshFile, const char* effectFile);
    // Fills hParams and EffectDesc, gives each texture parameter the file its "ResourceName" names
    // under "..\Data\Textures\", and selects the technique; the result of selecting it.
    HRESULT BindSemantics();
    // Reads the device's world, view and projection transforms, forms the 18 matrices and the time and
    // sets them into the effect.
    void SetMatrices();
    // Draws subset 0 of the mesh once per pass, inside the caller's scene. E_FAIL without an effect or
    // a mesh; else the failure of Begin, or the result of End.
    HRESULT Render();

    ID3DXEffect* pEffect = nullptr;
    ID3DXBuffer* pErrors = nullptr; // the compiler's messages, null when it gave none
    D3DXEFFECT_DESC EffectDesc = {};
    DWORD dwCompileFlags = 0; // set by the owner before loading
    UINT uPass = 0;
    UINT uNumPasses = 0;
    CFrame MeshFrame; // holds every container loaded here
    CMeshContainer* pMeshContainer = nullptr;
    D3DXHANDLE hParams[kEffectSemanticCount] = {};
    float fTime = 0.0f; // seconds of the system's running time
    D3DXMATRIX matProjection;
    D3DXMATRIX matProjectionInverse;
    D3DXMATRIX matProjectionInverseTranspose;
    D3DXMATRIX matView;
    D3DXMATRIX matViewInverse;
    D3DXMATRIX matViewInverseTranspose;
    D3DXMATRIX matViewProjection;
    D3DXMATRIX matViewProjectionInverse;
    D3DXMATRIX matViewProjectionInverseTranspose;
    D3DXMATRIX matWorld;
    D3DXMATRIX matWorldInverse;
    D3DXMATRIX matWorldInverseTranspose;
    D3DXMATRIX matWorldView;
    D3DXMATRIX matWorldViewInverse;
    D3DXMATRIX matWorldViewInverseTranspose;
    D3DXMATRIX matWorldViewProjection;
    D3DXMATRIX matWorldViewProjectionInverse;
    D3DXMATRIX matWorldViewProjectionInverseTranspose;
};
