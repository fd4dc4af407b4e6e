// The compiled effect form (fx_2_0) that D3DXCreateEffectFromFileA loads as it is, with no HLSL
// compiler involved: what an effect declares, and the encoder of its bytes. Covers what the test
// effects need: numeric parameters, textures, string annotations, and techniques whose passes set
// fixed-function states to constants.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fx {

// D3DXPARAMETER_TYPE values.
enum class Type : uint32_t {
    Bool = 1,
    Int = 2,
    Float = 3,
    String = 4,
    Texture = 5,
    Texture1D = 6,
    Texture2D = 7,
    Texture3D = 8,
    TextureCube = 9,
};

// D3DXPARAMETER_CLASS values.
enum class Class : uint32_t {
    Scalar = 0,
    Vector = 1,
    MatrixRows = 2,
    MatrixColumns = 3,
    Object = 4,
};

struct Annotation {
    std::string name;
    std::string text; // annotations are strings only
};

struct Parameter {
    std::string name;
    std::string semantic; // empty: none
    Type type = Type::Float;
    Class cls = Class::Scalar;
    uint32_t rows = 1;        // numeric classes only
    uint32_t columns = 1;     // numeric classes only
    std::vector<float> value; // rows * columns initial values; empty gives zeros
    std::vector<Annotation> annotations;
};

// A pass state: an operation of the effect framework's state table, its index (the texture stage for
// stage states, else 0) and a constant value of one 32-bit word.
struct State {
    uint32_t operation = 0;
    uint32_t index = 0;
    Type type = Type::Int; // Bool, Int or Float
    uint32_t value = 0;    // the word as stored (a float's bits for Float)
};

struct Pass {
    std::string name;
    std::vector<State> states;
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

struct Effect {
    std::vector<Parameter> parameters;
    std::vector<Technique> techniques;
};

// The state table's operations that the test effects use.
namespace op {
constexpr uint32_t ZEnable = 0x00;
constexpr uint32_t SrcBlend = 0x06;
constexpr uint32_t DestBlend = 0x07;
constexpr uint32_t CullMode = 0x08;
constexpr uint32_t AlphaBlendEnable = 0x0D;
constexpr uint32_t TextureFactor = 0x1E;
constexpr uint32_t Lighting = 0x30;
constexpr uint32_t ColorOp = 0x67;
constexpr uint32_t ColorArg1 = 0x69;
constexpr uint32_t AlphaOp = 0x6B;
constexpr uint32_t AlphaArg1 = 0x6D;
} // namespace op

// The whole file: the fx_2_0 tag, the offset of the effect's table, then the data the table points into.
std::vector<uint8_t> Encode(const Effect& effect);

} // namespace fx
