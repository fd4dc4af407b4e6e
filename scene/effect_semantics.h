// The semantics the effect wrapper binds an effect's top-level parameters by, in binding order and
// spelled as effect files must spell them (three odd spellings included). Plain C++ without Windows
// types: the native effect writer builds its test effects from the same table.
#pragma once

constexpr int kEffectSemanticCount = 58;

// Entry i gives CEffect::hParams[i].
constexpr const char* kEffectSemantics[kEffectSemanticCount] = {
    "Ambient",
    "Attenuation",
    "BoundingBoxMax",
    "BoundingBoxMin",
    "BoundingBoxSize",
    "BoundingCenter",
    "BoundingSphereSize",
    "BoundingSphereMin",
    "BoundingSphereMax",
    "Diffuse",
    "ElapsedTime",
    "Emissive",
    "EnviromentNormal",
    "Height",
    "Joint",
    "JointWorld",
    "JointWorldInverse",
    "JointWorldInverseTranspose",
    "JointWorldView",
    "JointWorldViewInverse",
    "JointWolrdViewInverseTranspose",
    "JointWorldViewProjection",
    "JointWorldViewProjectionInverse",
    "JointWorldViewProjectionTranspose",
    "LastTime",
    "Normal",
    "Opacity",
    "Position",
    "Projection",
    "ProjectionInverse",
    "ProjectionInverseTranspose",
    "Random",
    "Refraction",
    "RenderColorTarget",
    "RenderDepthStencilTarget",
    "RenderTargetClipping",
    "RenderTargetDimension",
    "Specular",
    "SpecularPower",
    "StandardGlobal",
    "TextureMatrix",
    "Time",
    "UnitsScale",
    "View",
    "ViewInverse",
    "ViewInverseTranspose",
    "ViewProjection",
    "ViewProjectionInverse",
    "ViewProjectionInverseTranspose",
    "World",
    "WorldInverse",
    "WorldInverseTranspose",
    "WorldView",
    "WorldViewInverse",
    "WorldViewInverseTranspose",
    "WorldViewProjection",
    "WorldViewProjectionInverse",
    "WorldViewProjectionInverseTranspose",
};
static_assert(kEffectSemantics[kEffectSemanticCount - 1] != nullptr, "the table is short of entries");

constexpr bool SameSemantic(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The entry of a semantic spelled exactly as in the table, or -1 when the table lacks it.
constexpr int EffectSemanticIndex(const char* semantic) {
    for (int i = 0; i < kEffectSemanticCount; ++i) {
        if (SameSemantic(kEffectSemantics[i], semantic)) {
            return i;
        }
    }
    return -1;
}
