// The compiled test effects: the file's frame that the loader reads first, and that each effect
// written matches its HLSL source kept beside it.
#include "check.h"
#include "image_io.h"
#include "test_effects.h"

#include <fstream>
#include <sstream>
#include <string>

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
