// The game's board and peg meshes through the game's loader and frames: they load with the game's
// arguments, and drawn under the game's camera the pegs and the board's holes show where the
// projection puts them.
#include "tests/scene/scene_test_util.h"
#include "game/game.h"

#include <cmath>

namespace {

const char kBoardFile[] = "..\\Data\\quorvantis.x";
const char kPegFile[] = "..\\Data\\pedino.x";
const char kDataFolder[] = "..\\Data\\";

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The largest extent of a mesh's positions on x and z, and its height.
void MeasureMesh(ID3DXMesh* mesh, float* width, float* depth, float* height) {
    const BYTE* vertices = nullptr;
    mesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&vertices);
    D3DXVECTOR3 low;
    D3DXVECTOR3 high;
    D3DXComputeBoundingBox(reinterpret_cast<const D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                           mesh->GetNumBytesPerVertex(), &low, &high);
    mesh->UnlockVertexBuffer();
    *width = high.x - low.x;
    *depth = high.z - low.z;
    *height = high.y - low.y;
}

int Brightness(uint32_t rgb) {
    return static_cast<int>(((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF));
}

class GameMeshesTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        for (const char* file : {kBoardFile, kPegFile}) {
            ASSERT_TRUE(Exists(file))
                << file << " is missing: the build generates it into the game's Data folder";
        }
        ASSERT_EQ(LoadMeshFromX(&m_board, g_pd3dDevice, kBoardFile, kDataFolder, 0, D3DXMESH_SYSTEMMEM),
                  S_OK);
        ASSERT_EQ(LoadMeshFromX(&m_peg, g_pd3dDevice, kPegFile, kDataFolder, 0, D3DXMESH_SYSTEMMEM), S_OK);
    }
    void TearDown() override {
        delete m_board;
        delete m_peg;
        DeviceTest::TearDown();
    }

    CMeshContainer* m_board = nullptr;
    CMeshContainer* m_peg = nullptr;
};

TEST_F(GameMeshesTest, BoardAndPegLoadWithTheGamesArguments) {
    float width = 0;
    float depth = 0;
    float height = 0;
    MeasureMesh(m_peg->MeshData.pMesh, &width, &depth, &height);
    EXPECT_NEAR(width, 1.5f, 0.2f);
    EXPECT_NEAR(depth, 1.5f, 0.2f);
    EXPECT_GT(height, 0.5f);
    ASSERT_GE(m_peg->NumMaterials, 1u);
    for (DWORD i = 0; i < m_peg->NumMaterials; ++i) {
        // No texture of its own, so the colour texture the game binds shows; opaque, so it never blends.
        EXPECT_EQ(m_peg->ppTextures[i], nullptr);
        EXPECT_EQ(m_peg->pMaterials[i].MatD3D.Diffuse.a, 1.0f);
    }
    const DWORD pegFvf = m_peg->MeshData.pMesh->GetFVF();
    EXPECT_TRUE(pegFvf & D3DFVF_DIFFUSE) << "baked shading in vertex colours";
    EXPECT_EQ(pegFvf & D3DFVF_TEXCOUNT_MASK, static_cast<DWORD>(D3DFVF_TEX1));

    // The board spans every slot (x 6 to -6) and every row (z 0 to -31.3).
    MeasureMesh(m_board->MeshData.pMesh, &width, &depth, &height);
    EXPECT_GT(width, 12.0f);
    EXPECT_GT(depth, 31.3f);
    ASSERT_GE(m_board->NumMaterials, 1u);
    EXPECT_EQ(m_board->pMaterials[0].MatD3D.Diffuse.a, 1.0f);
}

struct PlacedPeg {
    int index;
    float x, z;
    const char* texture;
    int channel; // 2 red, 1 green, 0 blue: the byte of 0xRRGGBB that must lead
};

// Pegs at three corners of the rules' grid: slot 0 of row 1, slot 2 of row 11, slot 4 of row 19.
constexpr PlacedPeg kPlaced[] = {
    {0, 6.0f, 0.0f, "..\\Data\\Red.png", 2},
    {52, 0.0f, -17.4f, "..\\Data\\Green.png", 1},
    {94, -6.0f, -31.3f, "..\\Data\\Blue.png", 0},
};

TEST_F(GameMeshesTest, PegsAndHolesShowWhereTheGamesCameraProjectsThem) {
    g_BoardFrame.AddMeshContainer(m_board);
    IDirect3DTexture9* textures[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(D3DXCreateTextureFromFileA(g_pd3dDevice, kPlaced[i].texture, &textures[i]), S_OK);
        CFrame& peg = g_Pegs[kPlaced[i].index];
        peg.AddMeshContainer(m_peg);
        peg.SetPosition(kPlaced[i].x, 0.0f, kPlaced[i].z);
    }

    // The game's aim: from (0, 25, 35) toward the board frame at the origin.
    g_Camera.SetPosition(0, 25, 35);
    D3DXVECTOR3 look(0, -25, -35);
    D3DXVec3Normalize(&look, &look);
    g_Camera.SetLook(look.x, look.y, look.z);
    g_Camera.SetUp(0, 0.81373f, -0.58124f);

    UINT width = 0;
    const std::vector<uint32_t> pixels = DrawScene(
        0xFF000000,
        [&] {
            g_Camera.UpdateView();
            g_BoardFrame.Render(true);
            for (int i = 0; i < 3; ++i) {
                g_pd3dDevice->SetTexture(0, textures[i]);
                g_Pegs[kPlaced[i].index].Render(false);
            }
        },
        &width);
    ASSERT_FALSE(pixels.empty());
    for (IDirect3DTexture9*& texture : textures) {
        SafeRelease(texture);
    }

    auto screenOf = [&](float x, float y, float z) {
        return ProjectToScreen(D3DXVECTOR3(x, y, z), g_Camera.view);
    };
    auto pixelAt = [&](float x, float y, float z) {
        const D3DXVECTOR3 screen = screenOf(x, y, z);
        return PixelAt(pixels, width, static_cast<UINT>(screen.x), static_cast<UINT>(screen.y));
    };
    // Mean brightness of the 3 x 3 pixels around a point, so the wood's grain does not decide.
    auto brightnessAround = [&](float x, float y, float z) {
        const D3DXVECTOR3 screen = screenOf(x, y, z);
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                sum += Brightness(PixelAt(pixels, width, static_cast<UINT>(screen.x) + dx,
                                          static_cast<UINT>(screen.y) + dy));
            }
        }
        return sum / 9;
    };

    for (const PlacedPeg& placed : kPlaced) {
        const uint32_t seen = pixelAt(placed.x, 0.6f, placed.z);
        SCOPED_TRACE(testing::Message() << placed.texture << " seen as " << std::hex << seen);
        const int lead = (seen >> (8 * placed.channel)) & 0xFF;
        for (int other = 0; other < 3; ++other) {
            if (other != placed.channel) {
                EXPECT_GT(lead, 2 * static_cast<int>((seen >> (8 * other)) & 0xFF));
            }
        }
    }
    // Looking into an empty hole shows its shaded inside, darker than the board's top beside it: the
    // holes are at the rules' positions.
    for (const D3DXVECTOR2& hole :
         {D3DXVECTOR2(3.0f, -9.0f), D3DXVECTOR2(-3.0f, -1.85f), D3DXVECTOR2(0.0f, -24.5f)}) {
        const int inside = brightnessAround(hole.x, 0.0f, hole.y);
        const int top = brightnessAround(hole.x + 1.4f, 0.0f, hole.y);
        SCOPED_TRACE(testing::Message()
                     << "hole at " << hole.x << ", " << hole.y << ": " << inside << " beside " << top);
        EXPECT_GT(top, 0);
        EXPECT_LT(inside, top / 2);
    }

    // The globals are left as the game would find them.
    g_BoardFrame.pFirstMeshContainer = nullptr;
    for (const PlacedPeg& placed : kPlaced) {
        g_Pegs[placed.index].pFirstMeshContainer = nullptr;
    }
}

} // namespace
