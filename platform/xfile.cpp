// X files: the standard template block, which mingw-w64 has no header for, and the mesh load from a data
// object that Wine lacks.
//
// The block is the binary form ("xof 0302bin 0064") of the standard templates, encoded at compile time
// from their text below by the token rules of the binary X format: every token a little-endian WORD;
// a name as its length (DWORD) and characters, an integer as a DWORD, a GUID as its 16 bytes.
#include "platform/platform.h"
#include "platform/xfile_tokens.h"

namespace {

constexpr char kTemplateText[] = R"(
template Header { <3D82AB43-62DA-11CF-AB39-0020AF71E433> WORD major; WORD minor; DWORD flags; }
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Coords2d { <F6F23F44-7686-11CF-8F52-0040333594A3> FLOAT u; FLOAT v; }
template Matrix4x4 { <F6F23F45-7686-11CF-8F52-0040333594A3> array FLOAT matrix[16]; }
template ColorRGBA { <35FF44E0-6C7C-11CF-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; FLOAT alpha; }
template ColorRGB { <D3E16E81-7835-11CF-8F52-0040333594A3> FLOAT red; FLOAT green; FLOAT blue; }
template IndexedColor { <1630B820-7842-11CF-8F52-0040333594A3> DWORD index; ColorRGBA indexColor; }
template Boolean { <537DA6A0-CA37-11D0-941C-0080C80CFA7B> DWORD truefalse; }
template Boolean2d { <4885AE63-78E8-11CF-8F52-0040333594A3> Boolean u; Boolean v; }
template MaterialWrap { <4885AE60-78E8-11CF-8F52-0040333594A3> Boolean u; Boolean v; }
template TextureFilename { <A42790E1-7810-11CF-8F52-0040333594A3> STRING filename; }
template Material {
    <3D82AB4D-62DA-11CF-AB39-0020AF71E433>
    ColorRGBA faceColor; FLOAT power; ColorRGB specularColor; ColorRGB emissiveColor; [...]
}
template MeshFace {
    <3D82AB5F-62DA-11CF-AB39-0020AF71E433>
    DWORD nFaceVertexIndices; array DWORD faceVertexIndices[nFaceVertexIndices];
}
template MeshFaceWraps {
    <ED1EC5C0-C0A8-11D0-941C-0080C80CFA7B>
    DWORD nFaceWrapValues; array Boolean2d faceWrapValues[nFaceWrapValues];
}
template MeshTextureCoords {
    <F6F23F40-7686-11CF-8F52-0040333594A3>
    DWORD nTextureCoords; array Coords2d textureCoords[nTextureCoords];
}
template MeshMaterialList {
    <F6F23F42-7686-11CF-8F52-0040333594A3>
    DWORD nMaterials; DWORD nFaceIndexes; array DWORD faceIndexes[nFaceIndexes]; [Material]
}
template MeshNormals {
    <F6F23F43-7686-11CF-8F52-0040333594A3>
    DWORD nNormals; array Vector normals[nNormals]; DWORD nFaceNormals; array MeshFace faceNormals[nFaceNormals];
}
template MeshVertexColors {
    <1630B821-7842-11CF-8F52-0040333594A3>
    DWORD nVertexColors; array IndexedColor vertexColors[nVertexColors];
}
template Mesh {
    <3D82AB44-62DA-11CF-AB39-0020AF71E433>
    DWORD nVertices; array Vector vertices[nVertices]; DWORD nFaces; array MeshFace faces[nFaces]; [...]
}
template FrameTransformMatrix { <F6F23F41-7686-11CF-8F52-0040333594A3> Matrix4x4 frameMatrix; }
template Frame { <3D82AB46-62DA-11CF-AB39-0020AF71E433> [...] }
template FloatKeys { <10DD46A9-775B-11CF-8F52-0040333594A3> DWORD nValues; array FLOAT values[nValues]; }
template TimedFloatKeys { <F406B180-7B3B-11CF-8F52-0040333594A3> DWORD time; FloatKeys tfkeys; }
template AnimationKey {
    <10DD46A8-775B-11CF-8F52-0040333594A3>
    DWORD keyType; DWORD nKeys; array TimedFloatKeys keys[nKeys];
}
template AnimationOptions { <E2BF56C0-840F-11CF-8F52-0040333594A3> DWORD openclosed; DWORD positionquality; }
template Animation { <3D82AB4F-62DA-11CF-AB39-0020AF71E433> [...] }
template AnimationSet { <3D82AB50-62DA-11CF-AB39-0020AF71E433> [Animation] }
template InlineData { <3A23EEA0-94B1-11D0-AB39-0020AF71E433> [BINARY] }
template Url { <3A23EEA1-94B1-11D0-AB39-0020AF71E433> DWORD nUrls; array STRING urls[nUrls]; }
template ProgressiveMesh { <8A63C360-997D-11D0-941C-0080C80CFA7B> [Url, InlineData] }
template Guid {
    <A42790E0-7810-11CF-8F52-0040333594A3>
    DWORD data1; WORD data2; WORD data3; array UCHAR data4[8];
}
template StringProperty { <7F0F21E0-BFE1-11D1-82C0-00A0C9697271> STRING key; STRING value; }
template PropertyBag { <7F0F21E1-BFE1-11D1-82C0-00A0C9697271> [StringProperty] }
template ExternalVisual { <98116AA0-BDBA-11D1-82C0-00A0C9697271> Guid guidExternalVisual; [...] }
template RightHanded { <7F5D5EA0-D53A-11D1-82C0-00A0C9697271> DWORD bRightHanded; }
)";

constexpr char kBinaryHeader[] = "xof 0302bin 0064";

using namespace xfile_tokens;

constexpr bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr unsigned HexValue(char c) {
    return IsDigit(c) ? static_cast<unsigned>(c - '0')
                      : (c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                              : static_cast<unsigned>(c - 'A' + 10));
}

constexpr bool SameWord(const char* text, size_t length, const char* word) {
    size_t i = 0;
    for (; i < length; ++i) {
        if (word[i] != text[i]) {
            return false;
        }
    }
    return word[i] == '\0';
}

// Writes little-endian bytes when `out` is given; counts them either way.
class Writer {
public:
    constexpr explicit Writer(unsigned char* out) : m_out(out), m_size(0) {}
    constexpr void Byte(unsigned value) {
        if (m_out) {
            m_out[m_size] = static_cast<unsigned char>(value & 0xFF);
        }
        ++m_size;
    }
    constexpr void Word(unsigned value) {
        Byte(value);
        Byte(value >> 8);
    }
    constexpr void Dword(unsigned value) {
        Word(value);
        Word(value >> 16);
    }
    constexpr size_t Size() const { return m_size; }

private:
    unsigned char* m_out;
    size_t m_size;
};

// Reads `digits` hex digits at text[*at], skipping one '-' before them.
constexpr unsigned HexField(const char* text, size_t* at, int digits) {
    if (text[*at] == '-') {
        ++*at;
    }
    unsigned value = 0;
    for (int i = 0; i < digits; ++i) {
        value = value * 16 + HexValue(text[(*at)++]);
    }
    return value;
}

// Encodes the header and the template text; returns the size. With `out` null only counts.
constexpr size_t EncodeTemplates(unsigned char* out) {
    Writer w(out);
    for (size_t i = 0; kBinaryHeader[i] != '\0'; ++i) {
        w.Byte(static_cast<unsigned char>(kBinaryHeader[i]));
    }
    const char* text = kTemplateText;
    size_t at = 0;
    while (text[at] != '\0') {
        const char c = text[at];
        if (c == ' ' || c == '\n') {
            ++at;
        } else if (c == '<') {
            ++at;
            w.Word(kGuid);
            w.Dword(HexField(text, &at, 8));
            w.Word(HexField(text, &at, 4));
            w.Word(HexField(text, &at, 4));
            for (int i = 0; i < 8; ++i) {
                w.Byte(HexField(text, &at, 2));
            }
            ++at; // '>'
        } else if (c == '.') {
            w.Word(kDot);
            ++at;
        } else if (IsDigit(c)) {
            unsigned value = 0;
            while (IsDigit(text[at])) {
                value = value * 10 + static_cast<unsigned>(text[at++] - '0');
            }
            w.Word(kInteger);
            w.Dword(value);
        } else if (IsLetter(c)) {
            const size_t start = at;
            while (IsLetter(text[at]) || IsDigit(text[at])) {
                ++at;
            }
            unsigned token = kName;
            for (const Keyword& keyword : kKeywords) {
                if (SameWord(text + start, at - start, keyword.text)) {
                    token = keyword.token;
                }
            }
            w.Word(token);
            if (token == kName) {
                w.Dword(static_cast<unsigned>(at - start));
                for (size_t i = start; i < at; ++i) {
                    w.Byte(static_cast<unsigned char>(text[i]));
                }
            }
        } else {
            const unsigned token = c == '{'   ? kOpenBrace
                                   : c == '}' ? kCloseBrace
                                   : c == '[' ? kOpenBracket
                                   : c == ']' ? kCloseBracket
                                   : c == ',' ? kComma
                                              : kSemicolon;
            w.Word(token);
            ++at;
        }
    }
    return w.Size();
}

struct TemplateBlock {
    unsigned char bytes[D3DRM_XTEMPLATE_BYTES];
};

constexpr TemplateBlock MakeTemplateBlock() {
    TemplateBlock block{};
    EncodeTemplates(block.bytes);
    return block;
}

static_assert(EncodeTemplates(nullptr) == D3DRM_XTEMPLATE_BYTES,
              "the standard template block is 3,278 bytes");

constexpr TemplateBlock kTemplateBlock = MakeTemplateBlock();

} // namespace

const unsigned char (&D3DRM_XTEMPLATES)[D3DRM_XTEMPLATE_BYTES] = kTemplateBlock.bytes;

HRESULT LoadMeshFromXof(ID3DXFileData* data, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                        ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                        ID3DXMesh** mesh) {
    if (!IsRunningOnWine()) {
        return D3DXLoadMeshFromXof(data, options, device, adjacency, materials, effectInstances,
                                   materialCount, mesh);
    }
    ID3DXSkinInfo* skin = nullptr;
    const HRESULT hr = D3DXLoadSkinMeshFromXof(data, options, device, adjacency, materials, effectInstances,
                                               materialCount, &skin, mesh);
    if (skin) {
        skin->Release();
    }
    return hr;
}
