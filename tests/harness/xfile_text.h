// Text X files written by the tests: meshes, frames, matrices, materials and skin weights, built up as
// strings and nested by passing one as the children of another.
#pragma once

#include <d3dx9.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace xfile {

using Face = std::array<DWORD, 3>;

inline std::string Header() {
    return "xof 0303txt 0032\n";
}

inline std::string Number(float value) {
    char text[32];
    snprintf(text, sizeof(text), "%.6f", value);
    return text;
}

// "a,b,c;" lists: elements separated by `separator`, the list closed by ';'.
template <typename T, typename Format>
std::string List(const std::vector<T>& items, Format format, const char* separator = ",") {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        text += format(items[i]);
        text += i + 1 < items.size() ? separator : "";
    }
    return text + ";";
}

inline std::string Matrix(const D3DXMATRIX& m) {
    std::vector<float> values(&m._11, &m._11 + 16);
    return List(values, Number) + ";";
}

inline std::string Mesh(const char* name, const std::vector<D3DXVECTOR3>& vertices,
                        const std::vector<Face>& faces, const std::string& children = "") {
    std::string text = std::string("Mesh ") + (name ? name : "") + " {\n";
    text += std::to_string(vertices.size()) + ";\n";
    text +=
        List(
            vertices,
            [](const D3DXVECTOR3& v) { return Number(v.x) + ";" + Number(v.y) + ";" + Number(v.z) + ";"; },
            ",\n") +
        "\n";
    text += std::to_string(faces.size()) + ";\n";
    text += List(
                faces,
                [](const Face& f) {
                    return "3;" + std::to_string(f[0]) + "," + std::to_string(f[1]) + "," +
                           std::to_string(f[2]) + ";";
                },
                ",\n") +
            "\n";
    return text + children + "}\n";
}

// An axis-aligned box from `low` to `high`, two triangles a face, wound clockwise seen from outside.
inline std::string Box(const char* name, D3DXVECTOR3 low, D3DXVECTOR3 high,
                       const std::string& children = "") {
    const std::vector<D3DXVECTOR3> v = {
        {low.x, low.y, low.z},  {high.x, low.y, low.z},  {high.x, high.y, low.z},  {low.x, high.y, low.z},
        {low.x, low.y, high.z}, {high.x, low.y, high.z}, {high.x, high.y, high.z}, {low.x, high.y, high.z}};
    const std::vector<Face> faces = {{0, 3, 2}, {0, 2, 1}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                                     {3, 7, 6}, {3, 6, 2}, {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5}};
    return Mesh(name, v, faces, children);
}

// One normal a vertex: each face's corners take the normals of the same indices, so no vertex is split.
// The data reads as a Mesh's: a counted list of vectors, then one of faces.
inline std::string Normals(const std::vector<D3DXVECTOR3>& normals, const std::vector<Face>& faces) {
    const std::string asMesh = Mesh("", normals, faces);
    return "MeshNormals " + asMesh.substr(asMesh.find('{'));
}

// One texture coordinate a vertex.
inline std::string TextureCoords(const std::vector<D3DXVECTOR2>& coords) {
    return "MeshTextureCoords {\n" + std::to_string(coords.size()) + ";\n" +
           List(
               coords, [](const D3DXVECTOR2& c) { return Number(c.x) + ";" + Number(c.y) + ";"; }, ",\n") +
           "\n}\n";
}

// One material for every face.
inline std::string MaterialList(size_t faceCount, D3DCOLORVALUE diffuse) {
    std::vector<int> zeros(faceCount, 0);
    return "MeshMaterialList {\n1;\n" + std::to_string(faceCount) + ";\n" +
           List(zeros, [](int) { return std::string("0"); }) + ";\nMaterial {\n" + Number(diffuse.r) + ";" +
           Number(diffuse.g) + ";" + Number(diffuse.b) + ";" + Number(diffuse.a) +
           ";;\n0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n}\n";
}

inline std::string FrameMatrix(const D3DXMATRIX& m) {
    return "FrameTransformMatrix {\n" + Matrix(m) + "\n}\n";
}

inline std::string Frame(const char* name, const std::string& children) {
    return std::string("Frame ") + (name ? name : "") + " {\n" + children + "}\n";
}

// A reference to an object named elsewhere in the file.
inline std::string Reference(const char* name) {
    return std::string("{ ") + name + " }\n";
}

// The skinning templates, which are not among the standard ones: a file that uses them declares them.
inline std::string SkinTemplates() {
    return "template XSkinMeshHeader {\n<3CF169CE-FF7C-44ab-93C0-F78F62D172E2>\n"
           "WORD nMaxSkinWeightsPerVertex;\nWORD nMaxSkinWeightsPerFace;\nWORD nBones;\n}\n"
           "template SkinWeights {\n<6F0D123B-BAD2-4167-A0D0-80224F25FABB>\n"
           "STRING transformNodeName;\nDWORD nWeights;\narray DWORD vertexIndices[nWeights];\n"
           "array FLOAT weights[nWeights];\nMatrix4x4 matrixOffset;\n}\n";
}

inline std::string SkinHeader(int maxPerVertex, int maxPerFace, int bones) {
    return "XSkinMeshHeader {\n" + std::to_string(maxPerVertex) + ";\n" + std::to_string(maxPerFace) + ";\n" +
           std::to_string(bones) + ";\n}\n";
}

inline std::string SkinWeights(const char* bone, const std::vector<DWORD>& vertices,
                               const std::vector<float>& weights, const D3DXMATRIX& offset) {
    return std::string("SkinWeights {\n\"") + bone + "\";\n" + std::to_string(vertices.size()) + ";\n" +
           List(vertices, [](DWORD v) { return std::to_string(v); }) + "\n" + List(weights, Number) + "\n" +
           Matrix(offset) + "\n}\n";
}

} // namespace xfile
