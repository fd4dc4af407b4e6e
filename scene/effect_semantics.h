// The semantics the effect wrapper binds an effect's top-level parameters by, in binding order and
// spelled as effect files must spell them (three odd spellings included), each with the kind of value
// it carries. Plain C++ without Windows types: the native effect writer builds its test effects from
// the same table.
#pragma once

#include <array>

constexpr int kEffectSemanticCount = 58;

enum class EffectSemanticKind {
    Matrix, // a 4 x 4 matrix the wrapper sets every frame
    Scalar, // a float the wrapper sets every frame: the time
    Vector, // bound, never set by the wrapper; the test effects declare a float4
};

struct EffectSemantic {
    const char* name;
    EffectSemanticKind kind;
};

// Entry i gives CEffect::hParams[i].
constexpr EffectSemantic kEffectSemanticTable[kEffectSemanticCount] = {
    {"Ambient", EffectSemanticKind::Vector},
    {"Attenuation", EffectSemanticKind::Vector},
    {"BoundingBoxMax", EffectSemanticKind::Vector},
    {"BoundingBoxMin", EffectSemanticKind::Vector},
    {"BoundingBoxSize", EffectSemanticKind::Vector},
    {"BoundingCenter", EffectSemanticKind::Vector},
    {"BoundingSphereSize", EffectSemanticKind::Vector},
    {"BoundingSphereMin", EffectSemanticKind::Vector},
    {"BoundingSphereMax", EffectSemanticKind::Vector},
    {"Diffuse", EffectSemanticKind::Vector},
    {"ElapsedTime", EffectSemanticKind::Vector},
    {"Emissive", EffectSemanticKind::Vector},
    {"EnviromentNormal", EffectSemanticKind::Vector},
    {"Height", EffectSemanticKind::Vector},
    {"Joint", EffectSemanticKind::Vector},
    {"JointWorld", EffectSemanticKind::Vector},
    {"JointWorldInverse", EffectSemanticKind::Vector},
    {"JointWorldInverseTranspose", EffectSemanticKind::Vector},
    {"JointWorldView", EffectSemanticKind::Vector},
    {"JointWorldViewInverse", EffectSemanticKind::Vector},
    {"JointWolrdViewInverseTranspose", EffectSemanticKind::Vector},
    {"JointWorldViewProjection", EffectSemanticKind::Vector},
    {"JointWorldViewProjectionInverse", EffectSemanticKind::Vector},
    {"JointWorldViewProjectionTranspose", EffectSemanticKind::Vector},
    {"LastTime", EffectSemanticKind::Vector},
    {"Normal", EffectSemanticKind::Vector},
    {"Opacity", EffectSemanticKind::Vector},
    {"Position", EffectSemanticKind::Vector},
    {"Projection", EffectSemanticKind::Matrix},
    {"ProjectionInverse", EffectSemanticKind::Matrix},
    {"ProjectionInverseTranspose", EffectSemanticKind::Matrix},
    {"Random", EffectSemanticKind::Vector},
    {"Refraction", EffectSemanticKind::Vector},
    {"RenderColorTarget", EffectSemanticKind::Vector},
    {"RenderDepthStencilTarget", EffectSemanticKind::Vector},
    {"RenderTargetClipping", EffectSemanticKind::Vector},
    {"RenderTargetDimension", EffectSemanticKind::Vector},
    {"Specular", EffectSemanticKind::Vector},
    {"SpecularPower", EffectSemanticKind::Vector},
    {"StandardGlobal", EffectSemanticKind::Vector},
    {"TextureMatrix", EffectSemanticKind::Vector},
    {"Time", EffectSemanticKind::Scalar},
    {"UnitsScale", EffectSemanticKind::Vector},
    {"View", EffectSemanticKind::Matrix},
    {"ViewInverse", EffectSemanticKind::Matrix},
    {"ViewInverseTranspose", EffectSemanticKind::Matrix},
    {"ViewProjection", EffectSemanticKind::Matrix},
    {"ViewProjectionInverse", EffectSemanticKind::Matrix},
    {"ViewProjectionInverseTranspose", EffectSemanticKind::Matrix},
    {"World", EffectSemanticKind::Matrix},
    {"WorldInverse", EffectSemanticKind::Matrix},
    {"WorldInverseTranspose", EffectSemanticKind::Matrix},
    {"WorldView", EffectSemanticKind::Matrix},
    {"WorldViewInverse", EffectSemanticKind::Matrix},
    {"WorldViewInverseTranspose", EffectSemanticKind::Matrix},
    {"WorldViewProjection", EffectSemanticKind::Matrix},
    {"WorldViewProjectionInverse", EffectSemanticKind::Matrix},
    {"WorldViewProjectionInverseTranspose", EffectSemanticKind::Matrix},
};
static_assert(kEffectSemanticTable[kEffectSemanticCount - 1].name != nullptr,
              "the table is short of entries");

// The names alone, entry for entry.
constexpr std::array<const char*, kEffectSemanticCount> EffectSemanticNames() {
    std::array<const char*, kEffectSemanticCount> names = {};
    for (int i = 0; i < kEffectSemanticCount; ++i) {
        names[i] = kEffectSemanticTable[i].name;
    }
    return names;
}
constexpr std::array<const char*, kEffectSemanticCount> kEffectSemantics = EffectSemanticNames();

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
        if (SameSemantic(kEffectSemanticTable[i].name, semantic)) {
            return i;
        }
    }
    return -1;
}
