// Spoiled copies of files for the fuzz tests, and the binary form of text X files.
#include "mutator.h"
#include "crafted_pictures.h"

#include "platform/xfile_tokens.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

namespace {

// What a huge count or index looks like: the ends of the signed and unsigned ranges, and values
// that pass a quick plausibility test but not an allocation or a bounds check.
constexpr uint32_t kHugeValues[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000u, 1000000u, 0x0FFFFFFFu};

uint32_t ReadNumber(const std::string& bytes, const Number& n) {
    uint32_t value = 0;
    for (size_t i = 0; i < n.length; ++i) {
        const uint32_t byte = static_cast<unsigned char>(bytes[n.offset + i]);
        value |= n.kind == Number::BigEndian ? byte << (8 * (n.length - 1 - i)) : byte << (8 * i);
    }
    return value;
}

void WriteNumber(std::string* bytes, const Number& n, uint32_t value) {
    for (size_t i = 0; i < n.length; ++i) {
        const size_t shift = n.kind == Number::BigEndian ? 8 * (n.length - 1 - i) : 8 * i;
        (*bytes)[n.offset + i] = static_cast<char>((value >> shift) & 0xFF);
    }
}

// ---- Binary X files (token values of the binary X format) ----

using namespace xfile_tokens;

class BinaryWriter {
public:
    void Word(uint16_t value) {
        Byte(value);
        Byte(value >> 8);
    }
    void Dword(uint32_t value) {
        Word(static_cast<uint16_t>(value));
        Word(static_cast<uint16_t>(value >> 16));
    }
    void Bytes(const std::string& text) { out.bytes += text; }
    void Byte(unsigned value) { out.bytes += static_cast<char>(value & 0xFF); }

    // Data numbers wait here until a token of another kind ends their list.
    void AddNumber(const std::string& text, bool isFloat) {
        if (!pending.empty() && pendingFloat != isFloat) {
            FlushNumbers();
        }
        pendingFloat = isFloat;
        pending.push_back(text);
    }
    void FlushNumbers() {
        if (pending.empty()) {
            return;
        }
        Word(pendingFloat ? kFloatList : kIntegerList);
        Dword(static_cast<uint32_t>(pending.size()));
        for (const std::string& number : pending) {
            if (pendingFloat) {
                const float value = strtof(number.c_str(), nullptr);
                uint32_t bits = 0;
                memcpy(&bits, &value, sizeof(bits));
                Dword(bits);
            } else {
                out.integers.push_back({out.bytes.size(), 4, Number::LittleEndian});
                Dword(static_cast<uint32_t>(strtoul(number.c_str(), nullptr, 10)));
            }
        }
        pending.clear();
    }

    BinaryXFile out;
    std::vector<std::string> pending;
    bool pendingFloat = false;
};

bool IsNameChar(char c) {
    return isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
}

// The 16 bytes of a GUID written <XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX>.
void WriteGuid(BinaryWriter* w, const std::string& text) {
    unsigned data1 = 0, data2 = 0, data3 = 0;
    unsigned data4[8] = {};
    sscanf(text.c_str(), "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &data1, &data2, &data3, &data4[0],
           &data4[1], &data4[2], &data4[3], &data4[4], &data4[5], &data4[6], &data4[7]);
    w->Word(kGuid);
    w->Dword(data1);
    w->Word(static_cast<uint16_t>(data2));
    w->Word(static_cast<uint16_t>(data3));
    for (unsigned byte : data4) {
        w->Byte(byte);
    }
}

} // namespace

uint64_t Random::Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

size_t Random::Below(size_t bound) {
    return bound == 0 ? 0 : static_cast<size_t>(Next() % bound);
}

Mutator::Mutator(std::string original, uint64_t seed, std::vector<Number> numbers)
    : m_original(std::move(original)), m_seed(seed), m_numbers(std::move(numbers)), m_random(seed) {}

Mutant Mutator::Next() {
    Mutant mutant;
    std::string what;
    switch (m_index % 4) {
    case 0:
        mutant.bytes = Truncate(&what);
        break;
    case 1:
        mutant.bytes = Flip(1, &what);
        break;
    case 2:
        mutant.bytes = Flip(2 + static_cast<int>(m_random.Below(7)), &what);
        break;
    default:
        mutant.bytes = m_numbers.empty() ? Flip(1, &what) : Inflate(&what);
        break;
    }
    mutant.what = "seed " + std::to_string(m_seed) + " #" + std::to_string(m_index) + ": " + what;
    ++m_index;
    return mutant;
}

std::string Mutator::Truncate(std::string* what) {
    const size_t length = m_random.Below(m_original.size());
    *what = "cut to " + std::to_string(length) + " bytes";
    return m_original.substr(0, length);
}

std::string Mutator::Flip(int count, std::string* what) {
    std::string bytes = m_original;
    *what = "xor";
    for (int i = 0; i < count && !bytes.empty(); ++i) {
        const size_t at = m_random.Below(bytes.size());
        const unsigned mask = 1 + static_cast<unsigned>(m_random.Below(255));
        bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ mask);
        *what += " [" + std::to_string(at) + "]^" + std::to_string(mask);
    }
    return bytes;
}

std::string Mutator::Inflate(std::string* what) {
    const Number& n = m_numbers[m_random.Below(m_numbers.size())];
    const size_t pick = m_random.Below(sizeof(kHugeValues) / sizeof(kHugeValues[0]) + 1);
    std::string bytes = m_original;
    if (n.kind == Number::Text) {
        const uint32_t old =
            static_cast<uint32_t>(strtoul(m_original.substr(n.offset, n.length).c_str(), nullptr, 10));
        const uint32_t value =
            pick < sizeof(kHugeValues) / sizeof(kHugeValues[0]) ? kHugeValues[pick] : old + 1;
        bytes.replace(n.offset, n.length, std::to_string(value));
        *what = "number at " + std::to_string(n.offset) + " set to " + std::to_string(value);
        return bytes;
    }
    const uint32_t old = ReadNumber(m_original, n);
    uint32_t value = pick < sizeof(kHugeValues) / sizeof(kHugeValues[0]) ? kHugeValues[pick] : old + 1;
    if (n.length == 2) {
        value = pick % 2 == 0 ? 0xFFFFu : (value & 0xFFFFu) | 0x8000u;
    }
    WriteNumber(&bytes, n, value);
    *what = "number at " + std::to_string(n.offset) + " set to " + std::to_string(value);
    return bytes;
}

std::vector<Number> TextIntegers(const std::string& text) {
    std::vector<Number> numbers;
    size_t at = 0;
    while (at < text.size()) {
        if (!isdigit(static_cast<unsigned char>(text[at]))) {
            ++at;
            continue;
        }
        const size_t start = at;
        while (at < text.size() && isdigit(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        const bool afterName = start > 0 && (IsNameChar(text[start - 1]) || text[start - 1] == '.');
        const bool beforeDecimal = at < text.size() && (text[at] == '.' || IsNameChar(text[at]));
        if (!afterName && !beforeDecimal) {
            numbers.push_back({start, at - start, Number::Text});
        }
    }
    return numbers;
}

BinaryXFile TextToBinaryXFile(const std::string& text) {
    BinaryWriter w;
    w.Bytes("xof 0303bin 0032");
    size_t at = text.find('\n');
    at = at == std::string::npos ? text.size() : at + 1;
    int templateDepth = 0; // inside a template block separators and dimensions are tokens of their own
    bool inTemplate = false;
    bool afterString = false;
    while (at < text.size()) {
        const char c = text[at];
        if (isspace(static_cast<unsigned char>(c))) {
            ++at;
            continue;
        }
        if (c == '#' || (c == '/' && at + 1 < text.size() && text[at + 1] == '/')) {
            while (at < text.size() && text[at] != '\n') {
                ++at;
            }
            continue;
        }
        const bool number =
            isdigit(static_cast<unsigned char>(c)) ||
            (c == '-' && at + 1 < text.size() && isdigit(static_cast<unsigned char>(text[at + 1])));
        if (number) {
            const size_t start = at++;
            while (at < text.size() && (isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.')) {
                ++at;
            }
            const std::string value = text.substr(start, at - start);
            if (inTemplate) {
                w.Word(kInteger);
                w.Dword(static_cast<uint32_t>(strtoul(value.c_str(), nullptr, 10)));
            } else {
                w.AddNumber(value, value.find('.') != std::string::npos);
            }
            afterString = false;
            continue;
        }
        if (c == ';' || c == ',') {
            ++at;
            if (inTemplate) {
                w.Word(c == ';' ? kSemicolon : kComma);
            } else if (afterString) {
                // A string's terminator belongs to its token.
                w.Word(c == ';' ? kSemicolon : kComma);
                afterString = false;
            }
            continue;
        }
        w.FlushNumbers();
        afterString = false;
        if (c == '"') {
            const size_t end = text.find('"', at + 1);
            const std::string value = text.substr(at + 1, end - at - 1);
            w.Word(kString);
            w.Dword(static_cast<uint32_t>(value.size()));
            w.Bytes(value);
            at = end + 1;
            afterString = true;
        } else if (c == '<') {
            const size_t end = text.find('>', at);
            WriteGuid(&w, text.substr(at + 1, end - at - 1));
            at = end + 1;
        } else if (c == '{' || c == '}') {
            w.Word(c == '{' ? kOpenBrace : kCloseBrace);
            if (inTemplate) {
                templateDepth += c == '{' ? 1 : -1;
                inTemplate = templateDepth > 0;
            }
            ++at;
        } else if (c == '[' || c == ']' || c == '.') {
            w.Word(c == '[' ? kOpenBracket : c == ']' ? kCloseBracket : kDot);
            ++at;
        } else {
            const size_t start = at;
            while (at < text.size() && IsNameChar(text[at])) {
                ++at;
            }
            if (at == start) {
                ++at; // a character the format has no token for is left out
                continue;
            }
            const std::string word = text.substr(start, at - start);
            uint16_t token = kName;
            for (const Keyword& keyword : kKeywords) {
                if (word == keyword.text) {
                    token = keyword.token;
                }
            }
            w.Word(token);
            if (token == kName) {
                w.Dword(static_cast<uint32_t>(word.size()));
                w.Bytes(word);
            }
            if (token == kTemplate) {
                inTemplate = true;
                templateDepth = 0;
            }
        }
    }
    w.FlushNumbers();
    return w.out;
}

std::vector<Number> BmpNumbers() {
    // File size, pixel offset, header size, width, height, bits a pixel, image size, colours used.
    return {{2, 4, Number::LittleEndian},  {10, 4, Number::LittleEndian}, {14, 4, Number::LittleEndian},
            {18, 4, Number::LittleEndian}, {22, 4, Number::LittleEndian}, {28, 2, Number::LittleEndian},
            {34, 4, Number::LittleEndian}, {46, 4, Number::LittleEndian}};
}

std::vector<Number> PngNumbers() {
    // The first chunk's length, then the width and height of the image header.
    return {{8, 4, Number::BigEndian}, {16, 4, Number::BigEndian}, {20, 4, Number::BigEndian}};
}

std::vector<Number> JpegNumbers(const std::string& bytes) {
    const size_t at = JpegLayoutOf(bytes).frame;
    if (at == bytes.size()) {
        return {};
    }
    // The segment's length, then the height and the width.
    return {{at + 2, 2, Number::BigEndian}, {at + 5, 2, Number::BigEndian}, {at + 7, 2, Number::BigEndian}};
}

} // namespace fuzz
