// The peg and board meshes: sizes and holes where the rules put the pegs, and the .x text.
#include "check.h"
#include "mesh.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

bool PointInTriangleXZ(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    const auto side = [](Vec3 p1, Vec3 p2, Vec3 p3) {
        return (p1.x - p3.x) * (p2.z - p3.z) - (p2.x - p3.x) * (p1.z - p3.z);
    };
    const double d1 = side(p, a, b), d2 = side(p, b, c), d3 = side(p, c, a);
    const bool negative = d1 < 0 || d2 < 0 || d3<0, positive = d1> 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) {
        ++n;
    }
    return n;
}

} // namespace

TEST_CASE(PegIsAboutOneAndAHalfUnitsWideAndStandsOnTheBoard) {
    const Mesh peg = BuildPeg();
    double minY = 1e9, maxY = -1e9, maxR = 0.0;
    for (const Vertex& v : peg.vertices) {
        minY = std::fmin(minY, v.position.y);
        maxY = std::fmax(maxY, v.position.y);
        maxR = std::fmax(maxR, std::hypot(v.position.x, v.position.z));
        CHECK(v.shade > 0.0 && v.shade <= 1.0);
        CHECK(v.u >= 0.0 && v.u <= 1.0 && v.v >= 0.0 && v.v <= 1.0);
    }
    CHECK_NEAR(minY, 0.0, 1e-9);
    CHECK(maxY > 1.2 && maxY < 1.6);
    CHECK_NEAR(2 * maxR, 1.5, 0.01);
    // The base fits in a hole of the board.
    double baseR = 0.0;
    for (const Vertex& v : peg.vertices) {
        if (v.position.y == 0.0) {
            baseR = std::fmax(baseR, std::hypot(v.position.x, v.position.z));
        }
    }
    CHECK(baseR < kHoleRadius);
}

TEST_CASE(PegLitSideFacesTheLight) {
    // Upper left of the screen is +x and +y: brighter than the lower right.
    const Vec3 lit = PegNormalAt(0.0, 0.4), dark = PegNormalAt(0.5, 0.4);
    CHECK(BakedShade(lit, 0.35) > BakedShade(dark, 0.35) + 0.3);
    CHECK(PegNormalAt(0.3, 0.0).y > 0.9); // the top of the dome faces up
}

TEST_CASE(BoardHasAnOpenHoleAtEveryPegPosition) {
    const Mesh board = BuildBoard();
    CHECK(board.vertices.size() < 65535); // 16-bit indices
    for (int row = 0; row < kRows; ++row) {
        for (int slot = 0; slot < kSlots; ++slot) {
            const Vec3 centre = HoleCentre(row, slot);
            bool covered = false, hasFloor = false;
            for (size_t t = 0; t + 2 < board.indices.size(); t += 3) {
                const Vec3 a = board.vertices[size_t(board.indices[t])].position;
                const Vec3 b = board.vertices[size_t(board.indices[t + 1])].position;
                const Vec3 c = board.vertices[size_t(board.indices[t + 2])].position;
                if (a.y == 0.0 && b.y == 0.0 && c.y == 0.0 && PointInTriangleXZ(centre, a, b, c)) {
                    covered = true;
                }
                if (a.y == -kHoleDepth && PointInTriangleXZ(centre, a, b, c)) {
                    hasFloor = true;
                }
            }
            CHECK(!covered);
            CHECK(hasFloor);
        }
    }
}

TEST_CASE(PegIsLightYetRoundAtItsSizeOnTheScreen) {
    // The whole play screen's cost grows with the peg's triangles: 94 of them can be on the board.
    const Mesh peg = BuildPeg();
    CHECK(peg.TriangleCount() <= 80);
    // About 30 pixels wide: the widest ring's sides must keep the outline within a pixel of the circle.
    double widest = 0.0;
    for (const Vertex& v : peg.vertices) {
        widest = std::fmax(widest, std::hypot(v.position.x, v.position.z));
    }
    // Only the faces the camera sees are kept, so the widest ring may be open at the back: its step is
    // the smallest angle between neighbouring vertices on it.
    std::vector<double> angles;
    for (const Vertex& v : peg.vertices) {
        if (std::hypot(v.position.x, v.position.z) > widest - 1e-9) {
            angles.push_back(std::atan2(v.position.z, v.position.x));
        }
    }
    std::sort(angles.begin(), angles.end());
    double step = 2 * M_PI;
    for (size_t i = 1; i < angles.size(); ++i) {
        if (angles[i] - angles[i - 1] > 1e-6) {
            step = std::fmin(step, angles[i] - angles[i - 1]);
        }
    }
    const double sides = 2 * M_PI / step;
    const double radiusInPixels = 15.0;
    CHECK(sides >= 3 && radiusInPixels * (1.0 - std::cos(M_PI / sides)) < 1.0);
    // What the camera (in front, towards +z, and above) sees stays: the widest ring's front and both
    // sides as the screen shows them.
    double front = -1.0, left = 0.0, right = 0.0;
    for (const Vertex& v : peg.vertices) {
        if (std::hypot(v.position.x, v.position.z) > widest - 1e-9) {
            front = std::fmax(front, v.position.z / widest);
            left = std::fmin(left, v.position.x / widest);
            right = std::fmax(right, v.position.x / widest);
        }
    }
    CHECK(front > 0.9 && left < -0.9 && right > 0.9);
    // Every triangle is seen from its front: the baked shade and the colour texture both need it.
    for (size_t t = 0; t + 2 < peg.indices.size(); t += 3) {
        const Vertex& a = peg.vertices[size_t(peg.indices[t])];
        const Vertex& b = peg.vertices[size_t(peg.indices[t + 1])];
        const Vertex& c = peg.vertices[size_t(peg.indices[t + 2])];
        const Vec3 face = Cross(b.position - a.position, c.position - a.position);
        CHECK(Dot(face, a.normal + b.normal + c.normal) > 0.0);
    }
}

TEST_CASE(XTextNumbersAreShortAndExact) {
    Mesh mesh;
    const double values[] = {1.5, -0.0, 10.0, -6.527726, 0.000001, 100.25};
    for (double x : values) {
        mesh.AddVertex(Vertex{Vec3{x, 0.0, -x}, Vec3{0, 1, 0}, 0.0, 1.0, 0.5});
    }
    const std::string text = MeshToXText(mesh, "Numeri", XMaterial{"Mat", ""}, 0);
    CHECK(text.find(" 1.5;0.0;-1.5;,\n") != std::string::npos);
    CHECK(text.find(" 0.0;0.0;0.0;,\n") != std::string::npos); // no "-0.0"
    CHECK(text.find(" 10.0;0.0;-10.0;,\n") != std::string::npos);
    CHECK(text.find(" -6.527726;0.0;6.527726;,\n") != std::string::npos);
    CHECK(text.find(" 0.000001;0.0;-0.000001;,\n") != std::string::npos);
    CHECK(text.find(" 100.25;0.0;-100.25;;\n") != std::string::npos);
    CHECK(text.find("  0.0;1.0;,\n") != std::string::npos); // texture coordinates
    CHECK(text.find("MeshNormals") == std::string::npos &&
          text.find("MeshVertexColors") == std::string::npos);
}

TEST_CASE(XTextDeclaresEveryPartWithConsistentCounts) {
    const Mesh peg = BuildPeg();
    const std::string text = MeshToXText(peg, "Pedino", XMaterial{"Mat", ""}, kXNormals | kXVertexColours);
    CHECK(text.rfind("xof 0303txt 0032\n", 0) == 0);
    CHECK(text.find("TextureFilename") == std::string::npos);
    CHECK(Count(text, "MeshNormals {") == 1 && Count(text, "MeshTextureCoords {") == 1);
    CHECK(Count(text, "MeshVertexColors {") == 1 && Count(text, "MeshMaterialList {") == 1);
    const std::string vertices = " " + std::to_string(peg.vertices.size()) + ";\n";
    const std::string faces = " " + std::to_string(peg.TriangleCount()) + ";\n";
    CHECK(Count(text, vertices) == 4); // positions, normals, texture coordinates, colours
    CHECK(Count(text, faces) == 3);    // faces, normal faces, material list
    CHECK(Count(text, "\n 3;") == size_t(2 * peg.TriangleCount())); // triangles, twice
    CHECK(text.find("1.000000;1.000000;1.000000;1.000000;;") != std::string::npos);

    const Mesh board = BuildBoard();
    const std::string boardText =
        MeshToXText(board, "Tavoliere", XMaterial{"Legno", "legno.jpg"}, kXVertexColours);
    CHECK(boardText.find("TextureFilename {\n  \"legno.jpg\";") != std::string::npos);
    CHECK(boardText.find("MeshNormals") == std::string::npos);
    CHECK(Count(boardText, " " + std::to_string(board.vertices.size()) + ";\n") == 3); // no normals
    CHECK(Count(boardText, "\n 3;") == size_t(board.TriangleCount()));                 // the faces once
}

TEST_CASE(GameMeshFilesAreLightToLoad) {
    // Never drawn over the picture that shows it, the board is read at every start: its text is most
    // of what loading the play screen's meshes costs.
    CHECK(BuildBoard().TriangleCount() <= 4500);
    const std::string board = BoardXText();
    CHECK(board.size() < 500000);
    CHECK(board.find("MeshNormals") == std::string::npos);
    CHECK(board.find("MeshVertexColors") != std::string::npos); // the holes' shading
    CHECK(board.find("TextureFilename {\n  \"legno.jpg\";") != std::string::npos);
    // The peg keeps what its drawing uses with lighting off: texture coordinates for its colour and the
    // baked shading; normals would only make every draw move more bytes.
    const std::string peg = PegXText();
    CHECK(peg.find("MeshNormals") == std::string::npos);
    CHECK(peg.find("MeshVertexColors {") != std::string::npos);
    CHECK(peg.find("MeshTextureCoords {") != std::string::npos);
}
