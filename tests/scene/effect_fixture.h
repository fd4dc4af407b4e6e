// What the effect wrapper's tests share: a device with identity transforms, a square mesh file, the
// effect record (value-initialised, as the wrapper asks) and the paths of the built test effects.
#pragma once

#include "harness.h"
#include "scene/scene.h"

#include <string>

// A square facing the viewer at depth 0.5, half the clip space wide: with identity transforms it
// covers the middle of the screen.
inline std::string SquareFacingViewer() {
    return "xof 0303txt 0032\n"
           "Mesh Square {\n 4;\n -0.5;-0.5;0.5;,\n -0.5;0.5;0.5;,\n 0.5;0.5;0.5;,\n 0.5;-0.5;0.5;;\n"
           " 2;\n 3;0,1,2;,\n 3;0,2,3;;\n"
           " MeshNormals {\n  1;\n  0.0;0.0;-1.0;;\n  2;\n  3;0,0,0;,\n  3;0,0,0;;\n }\n"
           " MeshTextureCoords {\n  4;\n  0.0;1.0;,\n  0.0;0.0;,\n  1.0;0.0;,\n  1.0;1.0;;\n }\n"
           "}\n";
}

inline std::string TestEffectPath(const char* name) {
    return std::string("..\\Data\\Effects\\") + name;
}

class EffectTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        WriteFileBytes(m_meshFile.c_str(), SquareFacingViewer());
        m_effect = new CEffect();
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        g_pd3dDevice->SetTransform(D3DTS_WORLD, &identity);
        g_pd3dDevice->SetTransform(D3DTS_VIEW, &identity);
        g_pd3dDevice->SetTransform(D3DTS_PROJECTION, &identity);
    }
    void TearDown() override {
        delete m_effect;
        m_effect = nullptr;
        RemovePath(m_meshFile.c_str());
        DeviceTest::TearDown();
    }
    HRESULT Load(const char* effectName) {
        return m_effect->LoadEffect(m_meshFile.c_str(), TestEffectPath(effectName).c_str());
    }

    std::string m_meshFile = "quadrato.x";
    CEffect* m_effect = nullptr;
};
