// The peg and board meshes, their textures, and the .x files that name them.
#include "assets.h"
#include "canvas.h"
#include "mesh.h"
#include "procedural.h"

#include "game/asset_files.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A peg is about 30 pixels wide on the screen: a 10-sided outline strays from the circle by under a
// pixel there, and the gloss comes from the colour texture, not from the triangles. Every draw of a peg
// costs by its triangles and vertices, and 94 of them can stand on the board.
constexpr int kPegSegments = 10;
constexpr double kPegHeight = 1.40;
// The board is never drawn over the background picture that shows it; its holes need only be there.
constexpr int kHoleSegments = 8;
// The board's own texture, which the game's mesh loader finds in the mesh's folder, Data.
const char* const kBoardTextureFile = "legno.jpg";

struct ProfilePoint {
    double r, y;
};

// Peg outline from the bottom rim up to the top centre.
std::vector<ProfilePoint> PegProfile() {
    std::vector<ProfilePoint> p = {{0.60, 0.00}, {0.74, 0.45}};
    constexpr int kDomeSteps = 3;
    for (int i = 0; i <= kDomeSteps; ++i) {
        const double t = (M_PI / 2) * i / kDomeSteps;
        p.push_back({0.75 * std::cos(t), 0.55 + (kPegHeight - 0.55) * std::sin(t)});
    }
    return p;
}

// Outward normal in the (r, y) plane at profile point i, from its neighbours.
ProfilePoint ProfileNormal(const std::vector<ProfilePoint>& p, size_t i) {
    const ProfilePoint a = p[i == 0 ? 0 : i - 1];
    const ProfilePoint b = p[std::min(i + 1, p.size() - 1)];
    const double dr = b.r - a.r, dy = b.y - a.y;
    const double len = std::sqrt(dr * dr + dy * dy);
    return {dy / len, -dr / len};
}

Vec3 AroundY(double r, double y, double angle) {
    return Vec3{r * std::cos(angle), y, r * std::sin(angle)};
}

// Point on the boundary of the rectangle [x0, x1] x [z0, z1] seen from (cx, cz) at `angle`.
Vec3 RayToRectangle(double cx, double cz, double angle, double x0, double x1, double z0, double z1) {
    const double dx = std::cos(angle), dz = std::sin(angle);
    double t = 1e9;
    if (dx > 1e-12) {
        t = std::min(t, (x1 - cx) / dx);
    } else if (dx < -1e-12) {
        t = std::min(t, (x0 - cx) / dx);
    }
    if (dz > 1e-12) {
        t = std::min(t, (z1 - cz) / dz);
    } else if (dz < -1e-12) {
        t = std::min(t, (z0 - cz) / dz);
    }
    return Vec3{cx + dx * t, 0.0, cz + dz * t};
}

double BoardU(double x) {
    return (x + kBoardHalfWidth) / (2 * kBoardHalfWidth);
}

double BoardV(double z) {
    return (kBoardNearZ - z) / (kBoardNearZ - kBoardFarZ);
}

Vertex BoardVertex(Vec3 p, Vec3 n, double shade) {
    return Vertex{p, n, BoardU(p.x), BoardV(p.z), shade};
}

void AddQuad(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d, Vec3 normal, double shade) {
    const int ia = mesh.AddSharedVertex(BoardVertex(a, normal, shade));
    const int ib = mesh.AddSharedVertex(BoardVertex(b, normal, shade));
    const int ic = mesh.AddSharedVertex(BoardVertex(c, normal, shade));
    const int id = mesh.AddSharedVertex(BoardVertex(d, normal, shade));
    mesh.AddTriangle(ia, ib, ic);
    mesh.AddTriangle(ia, ic, id);
}

// Edge of a hole's cell: halfway to the neighbouring rows and slots.
double CellNearZ(int row) {
    return row == 0 ? kRowZ[0] + (kRowZ[0] - kRowZ[1]) / 2 : (kRowZ[row - 1] + kRowZ[row]) / 2;
}

double CellFarZ(int row) {
    return row == kRows - 1 ? kRowZ[row] - (kRowZ[row - 1] - kRowZ[row]) / 2
                            : (kRowZ[row] + kRowZ[row + 1]) / 2;
}

constexpr double kCellHalfWidth = 1.5;

// One cell of the top face with its hole: a ring from the hole's rim to the cell's edge, the
// hole's wall and its floor.
void AddHoleCell(Mesh& mesh, int row, int slot) {
    const Vec3 centre = HoleCentre(row, slot);
    const double x0 = centre.x - kCellHalfWidth, x1 = centre.x + kCellHalfWidth;
    const double z0 = CellFarZ(row), z1 = CellNearZ(row);
    std::vector<double> cornerAngles;
    for (double cx : {x0, x1}) {
        for (double cz : {z0, z1}) {
            const double a = std::atan2(cz - centre.z, cx - centre.x);
            cornerAngles.push_back(a < 0 ? a + 2 * M_PI : a);
        }
    }

    const Vec3 up{0, 1, 0};
    const double topShade = BakedShade(up, 0.55);
    const Vec3 depth{0, -kHoleDepth, 0};
    const auto rimAt = [&](double angle) {
        return centre + Vec3{kHoleRadius * std::cos(angle), 0, kHoleRadius * std::sin(angle)};
    };
    const auto top = [&](Vec3 p) { return mesh.AddSharedVertex(BoardVertex(p, up, topShade)); };
    for (int i = 0; i < kHoleSegments; ++i) {
        const double a = 2 * M_PI * i / kHoleSegments, b = 2 * M_PI * (i + 1) / kHoleSegments;
        const Vec3 rimA = rimAt(a), rimB = rimAt(b);
        // The top between this piece of the rim and the cell's edge, through a corner that lies
        // between the two ends.
        const int ra = top(rimA), rb = top(rimB);
        int last = top(RayToRectangle(centre.x, centre.z, a, x0, x1, z0, z1));
        for (double corner : cornerAngles) {
            if (corner > a && corner < b) {
                const int c = top(RayToRectangle(centre.x, centre.z, corner, x0, x1, z0, z1));
                mesh.AddTriangle(ra, last, c);
                last = c;
            }
        }
        const int eb = top(RayToRectangle(centre.x, centre.z, b, x0, x1, z0, z1));
        mesh.AddTriangle(ra, last, eb);
        mesh.AddTriangle(ra, eb, rb);
        // The wall faces the hole's axis, its normals smooth so that neighbouring pieces share their
        // vertices; deeper parts are darker.
        const Vec3 inwardA{-std::cos(a), 0, -std::sin(a)}, inwardB{-std::cos(b), 0, -std::sin(b)};
        const int w0 = mesh.AddSharedVertex(BoardVertex(rimA, inwardA, 0.45));
        const int w1 = mesh.AddSharedVertex(BoardVertex(rimB, inwardB, 0.45));
        const int w2 = mesh.AddSharedVertex(BoardVertex(rimB + depth, inwardB, 0.18));
        const int w3 = mesh.AddSharedVertex(BoardVertex(rimA + depth, inwardA, 0.18));
        mesh.AddTriangle(w0, w1, w2);
        mesh.AddTriangle(w0, w2, w3);
    }
    // The floor: a fan over the rim's outline.
    const auto floorAt = [&](int i) {
        return mesh.AddSharedVertex(BoardVertex(rimAt(2 * M_PI * i / kHoleSegments) + depth, up, 0.12));
    };
    for (int i = 1; i + 1 < kHoleSegments; ++i) {
        mesh.AddTriangle(floorAt(0), floorAt(i), floorAt(i + 1));
    }
}

// Keeps only the triangles the game's camera can see on a peg standing in some hole of the board: the
// camera never moves, so a face turned away from it at every peg position is never drawn on the screen.
// The vertices left without a triangle go too.
Mesh KeepFacesSeenFromTheCamera(const Mesh& peg) {
    const Vec3 eye = CameraEye();
    std::vector<bool> seen(peg.vertices.size(), false);
    for (size_t i = 0; i < peg.vertices.size(); ++i) {
        const Vertex& v = peg.vertices[i];
        for (int row = 0; row < kRows && !seen[i]; ++row) {
            for (int slot = 0; slot < kSlots && !seen[i]; ++slot) {
                seen[i] = Dot(v.normal, eye - (HoleCentre(row, slot) + v.position)) > 0.0;
            }
        }
    }
    Mesh kept;
    std::vector<int> newIndex(peg.vertices.size(), -1);
    const auto keep = [&](int i) {
        if (newIndex[size_t(i)] < 0) {
            newIndex[size_t(i)] = kept.AddVertex(peg.vertices[size_t(i)]);
        }
        return newIndex[size_t(i)];
    };
    for (size_t t = 0; t + 2 < peg.indices.size(); t += 3) {
        const int a = peg.indices[t], b = peg.indices[t + 1], c = peg.indices[t + 2];
        if (seen[size_t(a)] || seen[size_t(b)] || seen[size_t(c)]) {
            kept.AddTriangle(keep(a), keep(b), keep(c));
        }
    }
    return kept;
}

} // namespace

Mesh BuildPeg() {
    const std::vector<ProfilePoint> profile = PegProfile();
    Mesh mesh;
    const int columns = kPegSegments + 1; // the seam is doubled for the texture's wrap
    for (size_t i = 0; i < profile.size(); ++i) {
        const ProfilePoint nrm = ProfileNormal(profile, i);
        for (int j = 0; j < columns; ++j) {
            const double angle = 2 * M_PI * j / kPegSegments;
            const Vec3 n = AroundY(nrm.r, nrm.y, angle);
            // Slight darkening at the foot, where the peg meets the hole.
            const double foot = std::min(1.0, 0.75 + profile[i].y * 1.2);
            mesh.AddVertex(Vertex{AroundY(profile[i].r, profile[i].y, angle), n, double(j) / kPegSegments,
                                  (kPegHeight - profile[i].y) / kPegHeight, BakedShade(n, 0.35) * foot});
        }
    }
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        for (int j = 0; j < kPegSegments; ++j) {
            const int a = int(i) * columns + j, b = a + 1, c = a + columns, d = c + 1;
            mesh.AddTriangle(a, c, d);
            mesh.AddTriangle(a, d, b);
        }
    }
    // No bottom: the peg stands on the board and is only ever seen from above.
    return KeepFacesSeenFromTheCamera(mesh);
}

Vec3 PegNormalAt(double u, double v) {
    const std::vector<ProfilePoint> profile = PegProfile();
    const double y = kPegHeight * (1.0 - v);
    size_t i = 0;
    while (i + 2 < profile.size() && profile[i + 1].y < y) {
        ++i;
    }
    const double span = profile[i + 1].y - profile[i].y;
    const double t = span > 0 ? std::clamp((y - profile[i].y) / span, 0.0, 1.0) : 0.0;
    const ProfilePoint a = ProfileNormal(profile, i), b = ProfileNormal(profile, i + 1);
    const double nr = a.r + (b.r - a.r) * t, ny = a.y + (b.y - a.y) * t;
    const double angle = 2 * M_PI * u;
    return Normalize(Vec3{nr * std::cos(angle), ny, nr * std::sin(angle)});
}

Mesh BuildBoard() {
    Mesh mesh;
    for (int row = 0; row < kRows; ++row) {
        for (int slot = 0; slot < kSlots; ++slot) {
            AddHoleCell(mesh, row, slot);
        }
    }
    const Vec3 up{0, 1, 0};
    const double topShade = BakedShade(up, 0.55);
    const double w = kBoardHalfWidth, iw = kSlotX[0] + kCellHalfWidth;
    const double nearZ = kBoardNearZ, farZ = kBoardFarZ;
    const double innerNear = CellNearZ(0), innerFar = CellFarZ(kRows - 1);
    // Top margins around the grid of cells.
    AddQuad(mesh, {-w, 0, innerNear}, {-w, 0, nearZ}, {w, 0, nearZ}, {w, 0, innerNear}, up, topShade);
    AddQuad(mesh, {-w, 0, farZ}, {-w, 0, innerFar}, {w, 0, innerFar}, {w, 0, farZ}, up, topShade);
    AddQuad(mesh, {-w, 0, innerFar}, {-w, 0, innerNear}, {-iw, 0, innerNear}, {-iw, 0, innerFar}, up,
            topShade);
    AddQuad(mesh, {iw, 0, innerFar}, {iw, 0, innerNear}, {w, 0, innerNear}, {w, 0, innerFar}, up, topShade);
    // Sides and bottom of the slab.
    const double b = -kBoardThickness;
    const Vec3 front{0, 0, 1}, back{0, 0, -1}, left{1, 0, 0}, right{-1, 0, 0}, down{0, -1, 0};
    AddQuad(mesh, {-w, 0, nearZ}, {-w, b, nearZ}, {w, b, nearZ}, {w, 0, nearZ}, front,
            BakedShade(front, 0.4));
    AddQuad(mesh, {-w, 0, farZ}, {w, 0, farZ}, {w, b, farZ}, {-w, b, farZ}, back, BakedShade(back, 0.4));
    AddQuad(mesh, {w, 0, farZ}, {w, 0, nearZ}, {w, b, nearZ}, {w, b, farZ}, left, BakedShade(left, 0.4));
    AddQuad(mesh, {-w, 0, farZ}, {-w, b, farZ}, {-w, b, nearZ}, {-w, 0, nearZ}, right,
            BakedShade(right, 0.4));
    AddQuad(mesh, {-w, b, farZ}, {w, b, farZ}, {w, b, nearZ}, {-w, b, nearZ}, down, 0.3);
    return mesh;
}

std::string PegXText() {
    return MeshToXText(BuildPeg(), "Pedino", XMaterial{"MaterialePedino", ""}, kXVertexColours);
}

std::string BoardXText() {
    // Drawn unlit, if at all, the board needs no normals: they would be a third of what loading it reads.
    return MeshToXText(BuildBoard(), "Tavoliere", XMaterial{"MaterialeLegno", kBoardTextureFile},
                       kXVertexColours);
}

bool GenerateMeshes(const std::string& runDir) {
    const std::string data = GameFolder(runDir, game_folders::kData);
    const std::string pegText = PegXText();
    const std::string boardText = BoardXText();
    return WriteBytes(data + asset_files::kPegMesh, std::vector<uint8_t>(pegText.begin(), pegText.end())) &&
           WriteBytes(data + asset_files::kBoardMesh,
                      std::vector<uint8_t>(boardText.begin(), boardText.end())) &&
           SaveJpeg(data + kBoardTextureFile, WoodTexture(256, 21u), 90, false);
}

bool GeneratePegTextures(const std::string& runDir) {
    // The same light as the baked shading, reflected towards the camera over the board.
    const Vec3 light = Normalize(Vec3{0.55, 1.0, 0.45});
    const Vec3 view = Normalize(CameraEye());
    const Vec3 halfway = Normalize(light + view);
    constexpr int kSize = 64;
    for (int c = 0; c < 5; ++c) {
        const Rgb base = kPegColours[c];
        Image image(kSize, kSize);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const double u = (x + 0.5) / kSize, v = (y + 0.5) / kSize;
                const double sheen = std::pow(std::max(0.0, Dot(PegNormalAt(u, v), halfway)), 30.0);
                const double grain = 0.04 * (ValueNoise2(float(x * 0.7), float(y * 0.7), unsigned(c)) - 0.5);
                const double k = 1.0 + grain;
                const auto channel = [&](double value) {
                    return value * k * (1 - 0.8 * sheen) + 0.8 * sheen;
                };
                image.At(x, y) = PackRgb(channel(base.r), channel(base.g), channel(base.b));
            }
        }
        if (!WritePng(GameFolder(runDir, game_folders::kData) + asset_files::kPegTextures[c], image, false)) {
            return false;
        }
    }
    return true;
}
