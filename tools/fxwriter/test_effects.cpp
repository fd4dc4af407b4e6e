// The test effects. Keep each in step with its source in effects/<name>.fx: the tools' tests check
// that every name, semantic, resource name, technique and pass written here stands in the source.
#include "test_effects.h"

#include "scene/effect_semantics.h"

using fx::Class;
using fx::Type;

namespace {

constexpr uint32_t kTrue = 1;
constexpr uint32_t kFalse = 0;
constexpr uint32_t kCullNone = 1;      // D3DCULL_NONE
constexpr uint32_t kSelectArg1 = 2;    // D3DTOP_SELECTARG1
constexpr uint32_t kTextureFactor = 3; // D3DTA_TFACTOR
constexpr uint32_t kBlendOne = 2;      // D3DBLEND_ONE

fx::Parameter Matrix(const std::string& name, const std::string& semantic) {
    fx::Parameter p;
    p.name = name;
    p.semantic = semantic;
    p.cls = Class::MatrixRows;
    p.rows = 4;
    p.columns = 4;
    return p;
}

fx::Parameter Scalar(const std::string& name, const std::string& semantic) {
    fx::Parameter p;
    p.name = name;
    p.semantic = semantic;
    return p;
}

fx::Parameter Vector(const std::string& name, const std::string& semantic, std::vector<float> value = {}) {
    fx::Parameter p;
    p.name = name;
    p.semantic = semantic;
    p.cls = Class::Vector;
    p.columns = 4;
    p.value = std::move(value);
    return p;
}

// A texture parameter; an empty resource name gives it no annotation.
fx::Parameter Texture(const std::string& name, Type type, const std::string& resource) {
    fx::Parameter p;
    p.name = name;
    p.type = type;
    p.cls = Class::Object;
    if (!resource.empty()) {
        p.annotations.push_back({"ResourceName", resource});
    }
    return p;
}

// One pass that draws unlit in the texture factor colour, with no culling and no depth test.
fx::Pass FlatPass(const std::string& name, uint32_t colour, bool additive) {
    fx::Pass pass;
    pass.name = name;
    pass.states = {
        {fx::op::Lighting, 0, Type::Bool, kFalse},
        {fx::op::CullMode, 0, Type::Int, kCullNone},
        {fx::op::ZEnable, 0, Type::Int, kFalse},
        {fx::op::AlphaBlendEnable, 0, Type::Bool, additive ? kTrue : kFalse},
        {fx::op::TextureFactor, 0, Type::Int, colour},
        {fx::op::ColorOp, 0, Type::Int, kSelectArg1},
        {fx::op::ColorArg1, 0, Type::Int, kTextureFactor},
        {fx::op::AlphaOp, 0, Type::Int, kSelectArg1},
        {fx::op::AlphaArg1, 0, Type::Int, kTextureFactor},
    };
    if (additive) {
        pass.states.push_back({fx::op::SrcBlend, 0, Type::Int, kBlendOne});
        pass.states.push_back({fx::op::DestBlend, 0, Type::Int, kBlendOne});
    }
    return pass;
}

fx::Technique OnePassTechnique() {
    return {"Principale", {FlatPass("Unico", 0xFFFFFFFF, false)}};
}

// A parameter for every bound semantic, of the kind the table gives it.
fx::Effect AllSemantics() {
    fx::Effect effect;
    for (const EffectSemantic& semantic : kEffectSemanticTable) {
        const std::string name = std::string("g") + semantic.name;
        switch (semantic.kind) {
        case EffectSemanticKind::Matrix:
            effect.parameters.push_back(Matrix(name, semantic.name));
            break;
        case EffectSemanticKind::Scalar:
            effect.parameters.push_back(Scalar(name, semantic.name));
            break;
        case EffectSemanticKind::Vector:
            effect.parameters.push_back(Vector(name, semantic.name));
            break;
        }
    }
    effect.techniques = {OnePassTechnique()};
    return effect;
}

// The correct spellings of the game's three odd semantics.
fx::Effect CorrectSpellings() {
    fx::Effect effect;
    effect.parameters = {
        Vector("gEnvironmentNormal", "EnvironmentNormal"),
        Matrix("gJointWorldViewInverseTranspose", "JointWorldViewInverseTranspose"),
        Matrix("gJointWorldViewProjectionInverseTranspose", "JointWorldViewProjectionInverseTranspose"),
    };
    effect.techniques = {OnePassTechnique()};
    return effect;
}

// Every kind of texture parameter, two files that do not exist among them, and parameters that are
// not textures or name no file.
fx::Effect Textures() {
    fx::Effect effect;
    effect.parameters = {
        Texture("Mancante", Type::Texture, "mancante.png"),
        Texture("Marmo", Type::Texture, "marmo.png"),
        Texture("RumoreMancante", Type::Texture3D, "mancante.dds"),
        Texture("Rumore", Type::Texture3D, "rumore.dds"),
        Texture("Marmo2D", Type::Texture2D, "marmo.png"),
        Texture("Marmo1D", Type::Texture1D, "marmo.png"),
        Texture("Cielo", Type::TextureCube, "marmo.png"),
        Texture("SenzaNome", Type::Texture2D, ""),
        Vector("Colore", "Diffuse", {1.0f, 0.5f, 0.25f, 1.0f}),
    };
    effect.techniques = {OnePassTechnique()};
    return effect;
}

// Names too long for a path below the game's texture folder (MAX_PATH, 260 bytes), then one that loads.
fx::Effect LongTextureNames() {
    const std::string longName(250, 'x');
    fx::Effect effect;
    effect.parameters = {
        Texture("NomeLungo", Type::Texture, longName),
        Texture("VolumeNomeLungo", Type::Texture3D, longName),
        Texture("Marmo", Type::Texture, "marmo.png"),
    };
    effect.techniques = {OnePassTechnique()};
    return effect;
}

fx::Effect SubFolderTexture() {
    fx::Effect effect;
    effect.parameters = {Texture("Venato", Type::Texture2D, "prova\\venato.png")};
    effect.techniques = {OnePassTechnique()};
    return effect;
}

fx::Effect NoParameters() {
    fx::Effect effect;
    effect.techniques = {OnePassTechnique()};
    return effect;
}

// Red in the first pass, blue added in the second: a pixel shows both only when both passes drew.
fx::Effect TwoPasses() {
    fx::Effect effect;
    effect.parameters = {Matrix("gWorldViewProjection", "WorldViewProjection")};
    effect.techniques = {
        {"DuePassi", {FlatPass("Rosso", 0xFF800000, false), FlatPass("Blu", 0xFF0000C0, true)}}};
    return effect;
}

fx::Effect NoPasses() {
    fx::Effect effect;
    effect.parameters = {Scalar("gTime", "Time")};
    effect.techniques = {{"Vuota", {}}};
    return effect;
}

fx::Effect NoTechnique() {
    fx::Effect effect;
    effect.parameters = {Scalar("gTime", "Time")};
    return effect;
}

} // namespace

std::vector<NamedEffect> TestEffects() {
    return {
        {"semantiche", AllSemantics()},
        {"ortografia", CorrectSpellings()},
        {"trame", Textures()},
        {"sottocartella", SubFolderTexture()},
        {"vuoto", NoParameters()},
        {"duepassi", TwoPasses()},
        {"senzapassi", NoPasses()},
        {"senzatecnica", NoTechnique()},
        {"nomelungo", LongTextureNames()},
    };
}
