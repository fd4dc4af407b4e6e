// The compiled test effects: the file's frame that the loader reads first, that each effect written
// matches its HLSL source kept beside it, and that the semantics' source and the game's table agree.
#include "check.h"
#include "image_io.h"
#include "test_effects.h"

#include "scene/effect_semantics.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadSource(const std::string& name) {
    std::ifstream file(std::string(FX_SOURCE_DIR) + "/" + name + ".fx");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The source text declares `name : semantic`, or `name` alone where there is no semantic.
bool Declares(const std::string& source, const fx::Parameter& parameter) {
    const std::string declaration =
        parameter.semantic.empty() ? " " + parameter.name : " " + parameter.name + " : " + parameter.semantic;
    return source.find(declaration) != std::string::npos;
}

// The annotation's text as the source writes it, with each backslash escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return quoted + "\"";
}

// A top-level parameter declared with a semantic: `type name : semantic;`.
struct Declaration {
    std::string type;
    std::string semantic;
};

std::vector<Declaration> DeclarationsWithSemantics(const std::string& source) {
    static const std::regex pattern(R"(^\s*(\w+)\s+(\w+)\s*:\s*(\w+)\s*;)");
    std::vector<Declaration> declarations;
    std::istringstream lines(source);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, match, pattern)) {
            declarations.push_back({match[1], match[3]});
        }
    }
    return declarations;
}

// The HLSL type a parameter of each kind is declared with.
std::string HlslType(EffectSemanticKind kind) {
    switch (kind) {
    case EffectSemanticKind::Matrix:
        return "float4x4";
    case EffectSemanticKind::Scalar:
        return "float";
    case EffectSemanticKind::Vector:
        return "float4";
    }
    return "";
}

} // namespace

TEST_CASE(FxFileStartsWithTagAndPointsAtItsCounts) {
    for (const NamedEffect& named : TestEffects()) {
        const std::vector<uint8_t> bytes = fx::Encode(named.effect);
        CHECK(bytes.size() >= 24);
        CHECK(ReadLe32(bytes, 0) == 0xFEFF0901u);
        const uint32_t table = 8 + ReadLe32(bytes, 4);
        CHECK(table % 4 == 0 && table + 16 <= bytes.size());
        CHECK(ReadLe32(bytes, table) == named.effect.parameters.size());
        CHECK(ReadLe32(bytes, table + 4) == named.effect.techniques.size());
    }
}

TEST_CASE(FxAnnotationTextIsStoredWithItsSizeAndZero) {
    fx::Effect effect;
    fx::Parameter texture;
    texture.name = "T";
    texture.type = fx::Type::Texture;
    texture.cls = fx::Class::Object;
    texture.annotations = {{"ResourceName", "ab.png"}};
    effect.parameters = {texture};
    const std::vector<uint8_t> bytes = fx::Encode(effect);
    // The object contents close the file: string count, resource count, then id, size, padded text.
    const size_t end = bytes.size();
    CHECK(ReadLe32(bytes, end - 24) == 1); // one string
    CHECK(ReadLe32(bytes, end - 20) == 0); // no resources
    CHECK(ReadLe32(bytes, end - 12) == 7); // "ab.png" and its zero
    CHECK(std::string(reinterpret_cast<const char*>(&bytes[end - 8]), 7) == std::string("ab.png", 7));
    // Object ids start at 1: the texture takes 1, its annotation's text 2; the count covers both.
    CHECK(ReadLe32(bytes, end - 16) == 2);
    CHECK(ReadLe32(bytes, 8 + ReadLe32(bytes, 4) + 12) == 3);
}

TEST_CASE(FxEveryTestEffectMatchesItsSource) {
    for (const NamedEffect& named : TestEffects()) {
        const std::string source = ReadSource(named.name);
        CHECK(!source.empty());
        for (const fx::Parameter& parameter : named.effect.parameters) {
            CHECK(Declares(source, parameter));
            for (const fx::Annotation& annotation : parameter.annotations) {
                CHECK(source.find("string " + annotation.name + " = " + Quoted(annotation.text)) !=
                      std::string::npos);
            }
        }
        for (const fx::Technique& technique : named.effect.techniques) {
            CHECK(source.find("technique " + technique.name + "\n") != std::string::npos);
            for (const fx::Pass& pass : technique.passes) {
                CHECK(source.find("pass " + pass.name + "\n") != std::string::npos);
            }
        }
        const size_t techniques = named.effect.techniques.size();
        CHECK((source.find("\ntechnique ") != std::string::npos) == (techniques != 0));
    }
}

TEST_CASE(FxSemanticsSourceDeclaresExactlyTheTableWithItsKinds) {
    const std::vector<Declaration> declarations = DeclarationsWithSemantics(ReadSource("semantiche"));
    // Every semantic the source declares is in the table, with the type of the entry's kind.
    for (const Declaration& declaration : declarations) {
        const int entry = EffectSemanticIndex(declaration.semantic.c_str());
        const std::string type = entry < 0 ? "" : HlslType(kEffectSemanticTable[entry].kind);
        if (entry < 0) {
            fprintf(stderr, "semantiche.fx declares %s, which the table lacks\n",
                    declaration.semantic.c_str());
        } else if (declaration.type != type) {
            fprintf(stderr, "semantiche.fx declares %s as %s, not %s\n", declaration.semantic.c_str(),
                    declaration.type.c_str(), type.c_str());
        }
        CHECK(entry >= 0);
        CHECK(entry < 0 || declaration.type == type);
    }
    // Every entry of the table is declared once.
    for (const EffectSemantic& semantic : kEffectSemanticTable) {
        int times = 0;
        for (const Declaration& declaration : declarations) {
            times += declaration.semantic == semantic.name ? 1 : 0;
        }
        if (times != 1) {
            fprintf(stderr, "semantiche.fx declares %s %d times\n", semantic.name, times);
        }
        CHECK(times == 1);
    }
}
