// The effects the game's tests load, described as data. Each has its HLSL source beside it in
// tools/fxwriter/effects/<name>.fx, which compiles to the same effect where an HLSL effect compiler
// exists; fxwriter writes the compiled form as <name>.fxo.
#pragma once

#include "fx_binary.h"

#include <string>
#include <vector>

struct NamedEffect {
    std::string name;
    fx::Effect effect;
};

std::vector<NamedEffect> TestEffects();
