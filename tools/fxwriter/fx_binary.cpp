// Encoder of the fx_2_0 effect form. After the tag and one offset, the file is a data area: first the
// pooled records (names, type descriptions, initial values) that the table refers to by their offset
// in the data area, then the table itself (parameters, techniques, and the objects' contents).
#include "fx_binary.h"

#include <cstring>

namespace fx {
namespace {

constexpr uint32_t kTag = 0xFEFF0901; // fx_2_0

class Encoder {
public:
    std::vector<uint8_t> Run(const Effect& effect);

private:
    // Pooled records; each returns its offset in the data area.
    uint32_t PoolName(const std::string& text);
    uint32_t PoolTypedef(const std::string& name, const std::string& semantic, Type type, Class cls,
                         uint32_t rows, uint32_t columns);
    uint32_t PoolNumber(const std::vector<float>& value, uint32_t count);
    uint32_t PoolWord(uint32_t word);
    uint32_t PoolObject(); // a new object id as the value of an object parameter

    void WriteAnnotations(const std::vector<Annotation>& annotations);
    void WriteParameter(const Parameter& parameter);
    void WriteTechnique(const Technique& technique);

    static void Append(std::vector<uint8_t>& out, uint32_t word);
    static void AppendPadded(std::vector<uint8_t>& out, const std::string& bytes);

    std::vector<uint8_t> m_pool;
    std::vector<uint8_t> m_table;
    uint32_t m_nextObject = 1; // id 0 is left unused
    struct StringObject {
        uint32_t id;
        std::string text;
    };
    std::vector<StringObject> m_strings;
};

void Encoder::Append(std::vector<uint8_t>& out, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(uint8_t(word >> shift));
    }
}

// Text with its terminating zero, padded to a whole number of words.
void Encoder::AppendPadded(std::vector<uint8_t>& out, const std::string& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.push_back(0);
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

// A name is its size (terminating zero included) and its bytes; an empty one is size 0 alone.
uint32_t Encoder::PoolName(const std::string& text) {
    const uint32_t offset = uint32_t(m_pool.size());
    if (text.empty()) {
        Append(m_pool, 0);
        return offset;
    }
    Append(m_pool, uint32_t(text.size() + 1));
    AppendPadded(m_pool, text);
    return offset;
}

uint32_t Encoder::PoolTypedef(const std::string& name, const std::string& semantic, Type type, Class cls,
                              uint32_t rows, uint32_t columns) {
    const uint32_t nameOffset = PoolName(name);
    const uint32_t semanticOffset = PoolName(semantic);
    const uint32_t offset = uint32_t(m_pool.size());
    Append(m_pool, uint32_t(type));
    Append(m_pool, uint32_t(cls));
    Append(m_pool, nameOffset);
    Append(m_pool, semanticOffset);
    Append(m_pool, 0); // not an array
    if (cls == Class::Vector) {
        Append(m_pool, columns);
        Append(m_pool, rows);
    } else if (cls != Class::Object) {
        Append(m_pool, rows);
        Append(m_pool, columns);
    }
    return offset;
}

uint32_t Encoder::PoolNumber(const std::vector<float>& value, uint32_t count) {
    const uint32_t offset = uint32_t(m_pool.size());
    for (uint32_t i = 0; i < count; ++i) {
        const float f = i < value.size() ? value[i] : 0.0f;
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Append(m_pool, bits);
    }
    return offset;
}

uint32_t Encoder::PoolWord(uint32_t word) {
    const uint32_t offset = uint32_t(m_pool.size());
    Append(m_pool, word);
    return offset;
}

uint32_t Encoder::PoolObject() {
    return PoolWord(m_nextObject++);
}

void Encoder::WriteAnnotations(const std::vector<Annotation>& annotations) {
    for (const Annotation& annotation : annotations) {
        Append(m_table, PoolTypedef(annotation.name, "", Type::String, Class::Object, 0, 0));
        const uint32_t id = m_nextObject;
        Append(m_table, PoolObject());
        m_strings.push_back({id, annotation.text});
    }
}

void Encoder::WriteParameter(const Parameter& parameter) {
    const bool isObject = parameter.cls == Class::Object;
    Append(m_table, PoolTypedef(parameter.name, parameter.semantic, parameter.type, parameter.cls,
                                parameter.rows, parameter.columns));
    Append(m_table,
           isObject ? PoolObject() : PoolNumber(parameter.value, parameter.rows * parameter.columns));
    Append(m_table, 0); // flags: not shared
    Append(m_table, uint32_t(parameter.annotations.size()));
    WriteAnnotations(parameter.annotations);
}

void Encoder::WriteTechnique(const Technique& technique) {
    Append(m_table, PoolName(technique.name));
    Append(m_table, 0); // no annotations
    Append(m_table, uint32_t(technique.passes.size()));
    for (const Pass& pass : technique.passes) {
        Append(m_table, PoolName(pass.name));
        Append(m_table, 0); // no annotations
        Append(m_table, uint32_t(pass.states.size()));
        for (const State& state : pass.states) {
            Append(m_table, state.operation);
            Append(m_table, state.index);
            Append(m_table, PoolTypedef("", "", state.type, Class::Scalar, 1, 1));
            Append(m_table, PoolWord(state.value));
        }
    }
}

std::vector<uint8_t> Encoder::Run(const Effect& effect) {
    for (const Parameter& parameter : effect.parameters) {
        WriteParameter(parameter);
    }
    for (const Technique& technique : effect.techniques) {
        WriteTechnique(technique);
    }

    // The counts stand before the records, but the object count is known only after them.
    std::vector<uint8_t> head;
    Append(head, uint32_t(effect.parameters.size()));
    Append(head, uint32_t(effect.techniques.size()));
    Append(head, 0);
    Append(head, m_nextObject);

    std::vector<uint8_t> tail;
    Append(tail, uint32_t(m_strings.size()));
    Append(tail, 0); // no resources (shaders)
    for (const StringObject& string : m_strings) {
        Append(tail, string.id);
        Append(tail, uint32_t(string.text.size() + 1));
        AppendPadded(tail, string.text);
    }

    std::vector<uint8_t> file;
    Append(file, kTag);
    Append(file, uint32_t(m_pool.size()));
    file.insert(file.end(), m_pool.begin(), m_pool.end());
    file.insert(file.end(), head.begin(), head.end());
    file.insert(file.end(), m_table.begin(), m_table.end());
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

} // namespace

std::vector<uint8_t> Encode(const Effect& effect) {
    Encoder encoder;
    return encoder.Run(effect);
}

} // namespace fx
