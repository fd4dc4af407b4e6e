// The effect wrapper: a mesh drawn with an effect file whose parameters are found by their semantics.
// Loading and binding first, then the per-frame matrices and the drawing.
#include "scene/effect.h"
#include "scene/mesh_loader.h"

#include "services/services.h"

#include <string>

const char* const kEffectSemantics[kEffectSemanticCount] = {
    "Ambient",                             // 0
    "Attenuation",                         // 1
    "BoundingBoxMax",                      // 2
    "BoundingBoxMin",                      // 3
    "BoundingBoxSize",                     // 4
    "BoundingCenter",                      // 5
    "BoundingSphereSize",                  // 6
    "BoundingSphereMin",                   // 7
    "BoundingSphereMax",                   // 8
    "Diffuse",                             // 9
    "ElapsedTime",                         // 10
    "Emissive",                            // 11
    "EnviromentNormal",                    // 12
    "Height",                              // 13
    "Joint",                               // 14
    "JointWorld",                          // 15
    "JointWorldInverse",                   // 16
    "JointWorldInverseTranspose",          // 17
    "JointWorldView",                      // 18
    "JointWorldViewInverse",               // 19
    "JointWolrdViewInverseTranspose",      // 20
    "JointWorldViewProjection",            // 21
    "JointWorldViewProjectionInverse",     // 22
    "JointWorldViewProjectionTranspose",   // 23
    "LastTime",                            // 24
    "Normal",                              // 25
    "Opacity",                             // 26
    "Position",                            // 27
    "Projection",                          // 28
    "ProjectionInverse",                   // 29
    "ProjectionInverseTranspose",          // 30
    "Random",                              // 31
    "Refraction",                          // 32
    "RenderColorTarget",                   // 33
    "RenderDepthStencilTarget",            // 34
    "RenderTargetClipping",                // 35
    "RenderTargetDimension",               // 36
    "Specular",                            // 37
    "SpecularPower",                       // 38
    "StandardGlobal",                      // 39
    "TextureMatrix",                       // 40
    "Time",                                // 41
    "UnitsScale",                          // 42
    "View",                                // 43
    "ViewInverse",                         // 44
    "ViewInverseTranspose",                // 45
    "ViewProjection",                      // 46
    "ViewProjectionInverse",               // 47
    "ViewProjectionInverseTranspose",      // 48
    "World",                               // 49
    "WorldInverse",                        // 50
    "WorldInverseTranspose",               // 51
    "WorldView",                           // 52
    "WorldViewInverse",                    // 53
    "WorldViewInverseTranspose",           // 54
    "WorldViewProjection",                 // 55
    "WorldViewProjectionInverse",          // 56
    "WorldViewProjectionInverseTranspose", // 57
};

namespace {

constexpr char kTextureFolder[] = "..\\Data\\Textures\\";
constexpr DWORD kAddedCompileFlags = 0x100;
constexpr D3DCOLOR kColourKey = 0xFF000000; // opaque black
constexpr int kTimeEntry = 41;

// Each per-frame matrix and the entry of the binding table whose handle receives it, in the order
// they are set.
struct MatrixBinding {
    D3DXMATRIX CEffect::*matrix;
    int entry;
};

constexpr MatrixBinding kMatrixBindings[] = {
    {&CEffect::matProjection, 28},
    {&CEffect::matProjectionInverse, 29},
    {&CEffect::matProjectionInverseTranspose, 30},
    {&CEffect::matView, 43},
    {&CEffect::matViewInverse, 44},
    {&CEffect::matViewInverseTranspose, 45},
    {&CEffect::matViewProjection, 46},
    {&CEffect::matViewProjectionInverse, 47},
    {&CEffect::matViewProjectionInverseTranspose, 48},
    {&CEffect::matWorld, 49},
    {&CEffect::matWorldInverse, 50},
    {&CEffect::matWorldInverseTranspose, 51},
    {&CEffect::matWorldView, 52},
    {&CEffect::matWorldViewInverse, 53},
    {&CEffect::matWorldViewInverseTranspose, 54},
    {&CEffect::matWorldViewProjection, 55},
    {&CEffect::matWorldViewProjectionInverse, 56},
    {&CEffect::matWorldViewProjectionInverseTranspose, 57},
};

// Gives the parameter the texture (or, with volume, the volume texture) its "ResourceName" annotation
// names; a file that cannot be loaded leaves it no texture. The effect keeps its own reference.
void LoadParameterTexture(ID3DXEffect* effect, D3DXHANDLE parameter, bool volume) {
    const char* name = nullptr;
    const D3DXHANDLE annotation = effect->GetAnnotationByName(parameter, "ResourceName");
    // Without a name there is no file to load: the parameter is left as it is, and nothing is reported.
    if (!annotation || FAILED(effect->GetString(annotation, &name)) || !name) {
        return;
    }
    const std::string path = std::string(kTextureFolder) + name;
    OutputDebugStringA(volume ? "VolumeTexture PATH: \"" : "Texture PATH: \"");
    OutputDebugStringA(path.c_str());
    OutputDebugStringA("\"\n");

    IDirect3DBaseTexture9* texture = nullptr;
    HRESULT hr;
    if (volume) {
        IDirect3DVolumeTexture9* volumeTexture = nullptr;
        hr = D3DXCreateVolumeTextureFromFileExA(g_pd3dDevice, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                                D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, kColourKey,
                                                nullptr, nullptr, &volumeTexture);
        texture = volumeTexture;
    } else {
        IDirect3DTexture9* planeTexture = nullptr;
        hr = D3DXCreateTextureFromFileExA(g_pd3dDevice, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                          D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                          D3DX_DEFAULT, kColourKey, nullptr, nullptr, &planeTexture);
        texture = planeTexture;
    }
    if (FAILED(hr)) {
        ErrorOut(volume ? "Impossibile caricare la VolumeTexture" : "Impossibile caricare la texture");
        texture = nullptr;
    }
    effect->SetTexture(parameter, texture);
    SafeRelease(texture);
}

} // namespace

CEffect::~CEffect() {
    SafeRelease(pErrors);
    SafeRelease(pEffect);
    // Every container on the frame was loaded here.
    CMeshContainer* container = MeshFrame.pFirstMeshContainer;
    while (container) {
        CMeshContainer* const next = container->pNextInFrame;
        delete container;
        container = next;
    }
    MeshFrame.pFirstMeshContainer = nullptr;
    pMeshContainer = nullptr;
}

HRESULT CEffect::LoadEffect(const char* meshFile, const char* effectFile) {
    CMeshContainer* const previous = pMeshContainer;
    LoadMeshForEffect(&pMeshContainer, g_pd3dDevice, meshFile);
    // A failed load leaves the previous container, which already hangs on the frame: adding it again
    // would link it to itself.
    if (pMeshContainer != previous) {
        MeshFrame.AddMeshContainer(pMeshContainer);
    }

    dwCompileFlags |= kAddedCompileFlags;
    // A second load replaces the first effect rather than leaking it.
    SafeRelease(pErrors);
    SafeRelease(pEffect);
    const HRESULT hr = D3DXCreateEffectFromFileA(g_pd3dDevice, effectFile, nullptr, nullptr, dwCompileFlags,
                                                 nullptr, &pEffect, &pErrors);
    if (FAILED(hr)) {
        OutputDebugStringA("Errore nel caricamento del file .fx\n");
        ErrorOut("FX Creation Error");
        // An unreadable file gives no messages, and then there is nothing to show.
        if (pErrors) {
            MessageBoxA(nullptr, static_cast<const char*>(pErrors->GetBufferPointer()), "Fx Creation Error",
                        MB_ICONEXCLAMATION);
        }
        return hr;
    }
    return BindSemantics();
}

HRESULT CEffect::BindSemantics() {
    if (!pEffect) {
        return E_FAIL;
    }
    for (int i = 0; i < kEffectSemanticCount; ++i) {
        hParams[i] = pEffect->GetParameterBySemantic(nullptr, kEffectSemantics[i]);
    }
    pEffect->GetDesc(&EffectDesc);

    for (UINT i = 0; i < EffectDesc.Parameters; ++i) {
        const D3DXHANDLE parameter = pEffect->GetParameter(nullptr, i);
        D3DXPARAMETER_DESC desc;
        if (FAILED(pEffect->GetParameterDesc(parameter, &desc))) {
            continue;
        }
        switch (desc.Type) {
        case D3DXPT_TEXTURE:
        case D3DXPT_TEXTURE1D:
        case D3DXPT_TEXTURE2D:
            LoadParameterTexture(pEffect, parameter, false);
            break;
        case D3DXPT_TEXTURE3D:
            LoadParameterTexture(pEffect, parameter, true);
            break;
        default: // cube textures included
            break;
        }
    }

    D3DXHANDLE technique = nullptr;
    pEffect->FindNextValidTechnique(nullptr, &technique);
    return pEffect->SetTechnique(technique);
}

void CEffect::SetMatrices() {
    g_pd3dDevice->GetTransform(D3DTS_WORLD, &matWorld);
    g_pd3dDevice->GetTransform(D3DTS_PROJECTION, &matProjection);
    g_pd3dDevice->GetTransform(D3DTS_VIEW, &matView);

    // A transform without an inverse is not detected: whatever the platform leaves is used.
    D3DXMatrixInverse(&matProjectionInverse, nullptr, &matProjection);
    D3DXMatrixTranspose(&matProjectionInverseTranspose, &matProjectionInverse);
    D3DXMatrixInverse(&matViewInverse, nullptr, &matView);
    D3DXMatrixTranspose(&matViewInverseTranspose, &matViewInverse);
    D3DXMatrixMultiply(&matViewProjection, &matView, &matProjection);
    D3DXMatrixInverse(&matViewProjectionInverse, nullptr, &matViewProjection);
    D3DXMatrixTranspose(&matViewProjectionInverseTranspose, &matViewProjectionInverse);
    D3DXMatrixInverse(&matWorldInverse, nullptr, &matWorld);
    D3DXMatrixTranspose(&matWorldInverseTranspose, &matWorldInverse);
    D3DXMatrixMultiply(&matWorldView, &matWorld, &matView);
    D3DXMatrixInverse(&matWorldViewInverse, nullptr, &matWorldView);
    D3DXMatrixTranspose(&matWorldViewInverseTranspose, &matWorldViewInverse);
    D3DXMATRIX worldView;
    D3DXMatrixMultiply(&worldView, &matWorld, &matView);
    D3DXMatrixMultiply(&matWorldViewProjection, &worldView, &matProjection);
    D3DXMatrixInverse(&matWorldViewProjectionInverse, nullptr, &matWorldViewProjection);
    D3DXMatrixTranspose(&matWorldViewProjectionInverseTranspose, &matWorldViewProjectionInverse);

    // The system's running time, not the time since loading.
    fTime = static_cast<float>(GetTickCount()) * 0.001f;
    if (!pEffect) {
        return;
    }
    // Entries the effect does not use have null handles; those calls fail, and that is ignored.
    pEffect->SetFloat(hParams[kTimeEntry], fTime);
    for (const MatrixBinding& binding : kMatrixBindings) {
        pEffect->SetMatrix(hParams[binding.entry], &(this->*binding.matrix));
    }
}

HRESULT CEffect::Render() {
    if (!pEffect || !pMeshContainer || !pMeshContainer->MeshData.pMesh) {
        return E_FAIL;
    }
    if (FAILED(g_pd3dDevice->SetVertexDeclaration(pMeshContainer->pVertexDeclaration))) {
        ErrorOut("Errore nella funzione SetVertexDeclaration");
    }
    SetMatrices();

    uNumPasses = 0;
    const HRESULT hr = pEffect->Begin(&uNumPasses, 0);
    if (FAILED(hr)) {
        return hr;
    }
    // Only subset 0 is drawn, in every pass.
    for (uPass = 0; uPass < uNumPasses; ++uPass) {
        pEffect->BeginPass(uPass);
        pMeshContainer->MeshData.pMesh->DrawSubset(0);
        pEffect->EndPass();
    }
    return pEffect->End();
}
