// Text .x writer. The layout follows the standard templates: Mesh with MeshNormals,
// MeshTextureCoords, MeshVertexColors and MeshMaterialList (one material for every face).
#include "mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

namespace {

// The light comes from the screen's upper left (world +x is on the screen's left), from above
// and a little from the viewer's side.
const Vec3 kLightDirection = Normalize(Vec3{0.55, 1.0, 0.45});

// A number with six decimals at most and no trailing zeros beyond the first decimal ("1.5", "0.0"):
// the loader's time goes on reading the text, and most figures are short.
std::string Number(double value) {
    char text[48];
    snprintf(text, sizeof text, "%.6f", value);
    size_t end = strlen(text);
    while (end > 1 && text[end - 1] == '0' && text[end - 2] != '.') {
        --end;
    }
    text[end] = '\0';
    return strcmp(text, "-0.0") == 0 ? "0.0" : text;
}

// "a;b;c;" with the given indent.
void AppendTriple(std::string& out, const char* indent, double a, double b, double c) {
    out += indent + Number(a) + ";" + Number(b) + ";" + Number(c) + ";";
}

const char* Separator(size_t i, size_t count) {
    return i + 1 < count ? ",\n" : ";\n";
}

} // namespace

int Mesh::AddVertex(const Vertex& v) {
    vertices.push_back(v);
    return int(vertices.size()) - 1;
}

int Mesh::AddSharedVertex(const Vertex& v) {
    const auto key = std::make_tuple(std::lround(v.position.x * 1e5), std::lround(v.position.y * 1e5),
                                     std::lround(v.position.z * 1e5), std::lround(v.normal.x * 1e4),
                                     std::lround(v.normal.y * 1e4), std::lround(v.normal.z * 1e4));
    const auto found = shared_.find(key);
    if (found != shared_.end()) {
        return found->second;
    }
    const int index = AddVertex(v);
    shared_.emplace(key, index);
    return index;
}

void Mesh::AddTriangle(int a, int b, int c) {
    const Vec3 pa = vertices[size_t(a)].position;
    const Vec3 face = Cross(vertices[size_t(b)].position - pa, vertices[size_t(c)].position - pa);
    const Vec3 facing = vertices[size_t(a)].normal + vertices[size_t(b)].normal + vertices[size_t(c)].normal;
    if (Dot(face, face) < 1e-18) {
        return; // degenerate, as where a ring closes on the axis
    }
    // In a left-handed system (b - a) x (c - a) points out of a clockwise face.
    if (Dot(face, facing) < 0.0) {
        std::swap(b, c);
    }
    indices.push_back(a);
    indices.push_back(b);
    indices.push_back(c);
}

double BakedShade(Vec3 normal, double ambient) {
    const double diffuse = std::max(0.0, Dot(Normalize(normal), kLightDirection));
    return std::min(1.0, ambient + (1.0 - ambient) * diffuse);
}

std::string MeshToXText(const Mesh& mesh, const std::string& meshName, const XMaterial& material,
                        unsigned parts) {
    const size_t nv = mesh.vertices.size();
    const size_t nf = mesh.indices.size() / 3;
    std::string out = "xof 0303txt 0032\n\n";

    out += "Material " + material.name + " {\n";
    out += " 1.000000;1.000000;1.000000;1.000000;;\n"; // diffuse, alpha exactly 1: opaque
    out += " 0.000000;\n";                             // power
    out += " 0.000000;0.000000;0.000000;;\n";          // specular
    out += " 0.000000;0.000000;0.000000;;\n";          // emissive
    if (!material.textureFile.empty()) {
        out += " TextureFilename {\n  \"" + material.textureFile + "\";\n }\n";
    }
    out += "}\n\n";

    out += "Mesh " + meshName + " {\n " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        const Vec3 p = mesh.vertices[i].position;
        AppendTriple(out, " ", p.x, p.y, p.z);
        out += Separator(i, nv);
    }
    const auto faceList = [&](std::string& text) {
        text += " " + std::to_string(nf) + ";\n";
        for (size_t f = 0; f < nf; ++f) {
            text += " 3;" + std::to_string(mesh.indices[3 * f]) + "," +
                    std::to_string(mesh.indices[3 * f + 1]) + "," + std::to_string(mesh.indices[3 * f + 2]) +
                    ";";
            text += Separator(f, nf);
        }
    };
    faceList(out);

    if (parts & kXNormals) {
        out += "\n MeshNormals {\n  " + std::to_string(nv) + ";\n";
        for (size_t i = 0; i < nv; ++i) {
            const Vec3 n = Normalize(mesh.vertices[i].normal);
            AppendTriple(out, "  ", n.x, n.y, n.z);
            out += Separator(i, nv);
        }
        faceList(out);
        out += " }\n";
    }

    out += "\n MeshTextureCoords {\n  " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        out += "  " + Number(mesh.vertices[i].u) + ";" + Number(mesh.vertices[i].v) + ";";
        out += Separator(i, nv);
    }
    out += " }\n";

    if (parts & kXVertexColours) {
        out += "\n MeshVertexColors {\n  " + std::to_string(nv) + ";\n";
        for (size_t i = 0; i < nv; ++i) {
            const std::string s = Number(mesh.vertices[i].shade);
            out += "  " + std::to_string(i) + ";" + s + ";" + s + ";" + s + ";1.0;;";
            out += Separator(i, nv);
        }
        out += " }\n";
    }

    out += "\n MeshMaterialList {\n  1;\n  " + std::to_string(nf) + ";\n";
    for (size_t f = 0; f < nf; ++f) {
        out += "  0";
        out += Separator(f, nf);
    }
    out += "  { " + material.name + " }\n }\n}\n";
    return out;
}
