// Inside the scene: a mesh container's subsets drawn material by material, with the blend states its
// materials switch between.
#pragma once

#include "scene/mesh_container.h"

#include <d3d9.h>

// The translucent-material blend rule: a material whose Diffuse.a is not exactly 1 (NaN included)
// blends ONE / DESTCOLOR. States are written only when the switch changes, and put back at the end
// only when it ended different from how it was found.
class BlendSwitch {
public:
    explicit BlendSwitch(IDirect3DDevice9* device) : m_device(device) {
        device->GetRenderState(D3DRS_ALPHABLENDENABLE, &m_savedEnable);
        device->GetRenderState(D3DRS_SRCBLEND, &m_savedSource);
        device->GetRenderState(D3DRS_DESTBLEND, &m_savedDestination);
        m_current = m_savedEnable;
    }

    void Follow(const D3DMATERIAL9& material) {
        const bool opaque = material.Diffuse.a == 1.0f;
        if (!opaque && m_current != 1) {
            m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
            m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTCOLOR);
            m_current = 1;
        } else if (opaque && m_current != 0) {
            m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            m_current = 0;
        }
    }

    void Restore() {
        if (m_current != m_savedEnable) {
            m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, m_savedEnable);
            m_device->SetRenderState(D3DRS_SRCBLEND, m_savedSource);
            m_device->SetRenderState(D3DRS_DESTBLEND, m_savedDestination);
        }
    }

private:
    IDirect3DDevice9* m_device;
    DWORD m_savedEnable = 0;
    DWORD m_savedSource = 0;
    DWORD m_savedDestination = 0;
    DWORD m_current = 0;
};

// Draws subset i of `mesh` for each material i of the container: the material set, then
// `prepare(i)` for what else the subset needs (its texture, its states), the blend rule followed.
// The blend states are put back afterwards as the rule says.
template <typename Prepare>
void DrawMaterialSubsets(IDirect3DDevice9* device, ID3DXMesh* mesh, const CMeshContainer* container,
                         Prepare prepare) {
    BlendSwitch blend(device);
    for (DWORD i = 0; i < container->NumMaterials; ++i) {
        const D3DMATERIAL9& material = container->pMaterials[i].MatD3D;
        device->SetMaterial(&material);
        prepare(i);
        blend.Follow(material);
        mesh->DrawSubset(i);
    }
    blend.Restore();
}
