// Triangle meshes and their text .x form, as D3DXLoadMeshFromX reads them.
#pragma once

#include "camera.h"

#include <map>
#include <string>
#include <tuple>
#include <vector>

struct Vertex {
    Vec3 position;
    Vec3 normal;
    double u, v;
    double shade; // baked light, 0..1, written as a grey vertex colour
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<int> indices; // three per triangle

    int AddVertex(const Vertex& v);
    // Reuses an earlier vertex with the same position and normal (texture coordinates and
    // shade follow from those wherever this is used).
    int AddSharedVertex(const Vertex& v);
    // Adds a triangle wound clockwise as seen from the side its vertices' normals face
    // (Direct3D's front face).
    void AddTriangle(int a, int b, int c);
    int TriangleCount() const { return int(indices.size() / 3); }

private:
    std::map<std::tuple<long, long, long, long, long, long>, int> shared_;
};

// One material: white, opaque, with an optional texture file name (relative to the
// loader's texture folder).
struct XMaterial {
    std::string name;
    std::string textureFile;
};

// What a mesh's text holds besides positions, faces, texture coordinates and its material.
enum XParts : unsigned {
    kXNormals = 1,      // per-vertex normals
    kXVertexColours = 2 // the baked shade as a grey colour
};

std::string MeshToXText(const Mesh& mesh, const std::string& meshName, const XMaterial& material,
                        unsigned parts);

// Baked light: a fixed direction from the upper left, towards the camera.
double BakedShade(Vec3 normal, double ambient);

// The peg: a rounded body standing on y = 0, about 1.5 units wide and 1.4 high, textured
// all round (u around from +x, v from the top down) so the game's colour texture shows.
Mesh BuildPeg();
// Outward surface normal of the peg at texture coordinate (u, v); used to place the sheen
// of the colour textures where the light's reflection falls.
Vec3 PegNormalAt(double u, double v);

// The board: a slab whose top is y = 0, with a hole under every peg position of the rules.
Mesh BuildBoard();

// The .x texts of the peg and board meshes, as the generator writes them.
std::string PegXText();
std::string BoardXText();
