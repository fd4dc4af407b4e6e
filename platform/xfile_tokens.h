// The binary X format's token values and the words it writes as tokens rather than as names. Shared by
// the standard template block and by tests that write binary X files.
#pragma once

#include <cstdint>

namespace xfile_tokens {

enum Token : uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kOpenBracket = 14,
    kCloseBracket = 15,
    kDot = 18,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
};

struct Keyword {
    const char* text;
    uint16_t token;
};

constexpr Keyword kKeywords[] = {
    {"template", kTemplate}, {"WORD", 40},  {"DWORD", 41},  {"FLOAT", 42}, {"DOUBLE", 43}, {"CHAR", 44},
    {"UCHAR", 45},           {"SWORD", 46}, {"SDWORD", 47}, {"VOID", 48},  {"STRING", 49}, {"UNICODE", 50},
    {"CSTRING", 51},         {"array", 52},
};

} // namespace xfile_tokens
