// The effect wrapper: a mesh drawn with an effect file whose parameters are found by their semantics.
// Loading and binding first, then the per-frame matrices and the drawing.
#include "scene/effect.h"
#include "scene/mesh_loader.h"

#include "services/device.h"
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/log.h"
#include "services/picture_file.h"
#include "services/safe_release.h"

#include <iterator>

namespace {

constexpr D3DCOLOR kColourKey = 0xFF000000; // opaque black
constexpr int kTimeEntry = EffectSemanticIndex("Time");
static_assert(kTimeEntry >= 0 && kEffectSemanticTable[kTimeEntry].kind == EffectSemanticKind::Scalar,
              "the time's semantic is not a scalar of the table");

// Each per-frame matrix and the entry of the semantic table whose handle receives it, in the order
// they are set. Each matrix is named for its semantic.
struct MatrixBinding {
    D3DXMATRIX CEffect::*matrix;
    int entry;
};

constexpr MatrixBinding kMatrixBindings[] = {
    {&CEffect::matProjection, EffectSemanticIndex("Projection")},
    {&CEffect::matProjectionInverse, EffectSemanticIndex("ProjectionInverse")},
    {&CEffect::matProjectionInverseTranspose, EffectSemanticIndex("ProjectionInverseTranspose")},
    {&CEffect::matView, EffectSemanticIndex("View")},
    {&CEffect::matViewInverse, EffectSemanticIndex("ViewInverse")},
    {&CEffect::matViewInverseTranspose, EffectSemanticIndex("ViewInverseTranspose")},
    {&CEffect::matViewProjection, EffectSemanticIndex("ViewProjection")},
    {&CEffect::matViewProjectionInverse, EffectSemanticIndex("ViewProjectionInverse")},
    {&CEffect::matViewProjectionInverseTranspose, EffectSemanticIndex("ViewProjectionInverseTranspose")},
    {&CEffect::matWorld, EffectSemanticIndex("World")},
    {&CEffect::matWorldInverse, EffectSemanticIndex("WorldInverse")},
    {&CEffect::matWorldInverseTranspose, EffectSemanticIndex("WorldInverseTranspose")},
    {&CEffect::matWorldView, EffectSemanticIndex("WorldView")},
    {&CEffect::matWorldViewInverse, EffectSemanticIndex("WorldViewInverse")},
    {&CEffect::matWorldViewInverseTranspose, EffectSemanticIndex("WorldViewInverseTranspose")},
    {&CEffect::matWorldViewProjection, EffectSemanticIndex("WorldViewProjection")},
    {&CEffect::matWorldViewProjectionInverse, EffectSemanticIndex("WorldViewProjectionInverse")},
    {&CEffect::matWorldViewProjectionInverseTranspose,
     EffectSemanticIndex("WorldViewProjectionInverseTranspose")},
};

// The bindings are the table's matrix entries, each once: a kind changed in the table must be
// met by a matrix here.
constexpr bool BindingsAreTheMatrixEntries() {
    int matrixEntries = 0;
    for (const EffectSemantic& semantic : kEffectSemanticTable) {
        if (semantic.kind == EffectSemanticKind::Matrix) {
            ++matrixEntries;
        }
    }
    if (matrixEntries != static_cast<int>(std::size(kMatrixBindings))) {
        return false;
    }
    for (const MatrixBinding& binding : kMatrixBindings) {
        if (binding.entry < 0 || kEffectSemanticTable[binding.entry].kind != EffectSemanticKind::Matrix) {
            return false;
        }
        int uses = 0;
        for (const MatrixBinding& other : kMatrixBindings) {
            uses += other.entry == binding.entry ? 1 : 0;
        }
        if (uses != 1) {
            return false;
        }
    }
    return true;
}
static_assert(BindingsAreTheMatrixEntries(), "the matrices set are not the table's matrix entries");

// Gives the parameter the texture (or, with volume, the volume texture) its "ResourceName" annotation
// names in the game's texture folder; a file that cannot be loaded, or a name too long for a path, leaves
// it no texture, with the failure's debugger line. The effect keeps its own reference.
void LoadParameterTexture(ID3DXEffect* effect, D3DXHANDLE parameter, bool volume) {
    const char* name = nullptr;
    const D3DXHANDLE annotation = effect->GetAnnotationByName(parameter, "ResourceName");
    // Without a name there is no file to load: the parameter is left as it is, and nothing is reported.
    if (!annotation || FAILED(effect->GetString(annotation, &name)) || !name) {
        return;
    }
    const char* const failure =
        volume ? "Impossibile caricare la VolumeTexture" : "Impossibile caricare la texture";
    // A name too long for a path fails as a missing file does, without a path to show.
    char path[MAX_PATH];
    if (!JoinPathInto(path, game_folders::kTextures.data(), name)) {
        ErrorOut(failure);
        effect->SetTexture(parameter, nullptr);
        return;
    }
    OutputDebugStringA(volume ? "VolumeTexture PATH: \"" : "Texture PATH: \"");
    OutputDebugStringA(path);
    OutputDebugStringA("\"\n");

    IDirect3DBaseTexture9* texture = nullptr;
    HRESULT hr;
    if (volume) {
        IDirect3DVolumeTexture9* volumeTexture = nullptr;
        hr = CheckedCreateVolumeTextureFromFileEx(
            g_pd3dDevice, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
            D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, kColourKey, nullptr, nullptr, &volumeTexture);
        texture = volumeTexture;
    } else {
        IDirect3DTexture9* planeTexture = nullptr;
        hr = CheckedCreateTextureFromFileEx(g_pd3dDevice, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                            kColourKey, nullptr, nullptr, &planeTexture);
        texture = planeTexture;
    }
    if (FAILED(hr)) {
        ErrorOut(failure);
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

    dwCompileFlags |= D3DXSHADER_NO_PRESHADER;
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
    D3DXMatrixMultiply(&matWorldViewProjection, &matWorldView, &matProjection);
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
