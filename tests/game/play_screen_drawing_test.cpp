// The play screen's drawing read back from the device: the background under the buttons, each placed
// peg in its colour at its slot and row, the status line and counts where they belong, and the
// solution only once the game has ended. Pegs are judged by the hue at their centres, not by outline.
#include "play_screen_fixture.h"

#include "tests/scene/scene_test_util.h"

#include <algorithm>
#include <vector>

namespace {

using namespace play_screen;

enum Colour { Red, Yellow, Green, Blue, Violet };

const D3DXCOLOR kWhite(1.0f, 1.0f, 1.0f, 1.0f);

// The colour index whose hue a pixel shows, or -1 for a grey or dark pixel.
int ColourOf(uint32_t pixel) {
    const float r = static_cast<float>((pixel >> 16) & 0xFF);
    const float g = static_cast<float>((pixel >> 8) & 0xFF);
    const float b = static_cast<float>(pixel & 0xFF);
    const float high = std::max({r, g, b});
    const float low = std::min({r, g, b});
    if (high < 40.0f || high - low < 0.35f * high) {
        return -1;
    }
    float hue = 0.0f;
    if (high == r) {
        hue = 60.0f * (g - b) / (high - low);
    } else if (high == g) {
        hue = 60.0f * (2.0f + (b - r) / (high - low));
    } else {
        hue = 60.0f * (4.0f + (r - g) / (high - low));
    }
    hue = hue < 0.0f ? hue + 360.0f : hue;
    const struct {
        float from, to;
        int colour;
    } bands[] = {{0, 15, Red},     {340, 360, Red},  {35, 75, Yellow},
                 {85, 170, Green}, {190, 250, Blue}, {260, 330, Violet}};
    for (const auto& band : bands) {
        if (hue >= band.from && hue < band.to) {
            return band.colour;
        }
    }
    return -1;
}

class PlayScreenDrawingTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        ASSERT_EQ(LoadScene(m_window), 1);
        ASSERT_EQ(InitFont("Lamebrain -BRK-"), S_OK);
        const int secret[kCodeLength] = {Red, Green, Red, Violet, Green};
        memcpy(g_SecretCode, secret, sizeof(secret));
        // The middle of the peg above its base, where its texture shows whatever the mesh's detail.
        ID3DXMesh* mesh = g_pPegMesh->MeshData.pMesh;
        void* vertices = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices), S_OK);
        float radius = 0.0f;
        D3DXComputeBoundingSphere(static_cast<D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                                  D3DXGetFVFVertexSize(mesh->GetFVF()), &m_pegCentre, &radius);
        mesh->UnlockVertexBuffer();
    }

    std::vector<uint32_t> Render() {
        GameRender();
        return ReadBackBuffer(&m_width);
    }
    uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const {
        return PixelAt(frame, m_width, x, y);
    }

    // The screen point of the middle of a peg standing in a slot of a row (both counted from 0).
    POINT PegPoint(int slot, int row) const {
        float z = 0.0f;
        RowDepthFor(row * kCodeLength, &z);
        D3DXMATRIX view;
        g_pd3dDevice->GetTransform(D3DTS_VIEW, &view);
        const D3DXVECTOR3 screen =
            ProjectToScreen(D3DXVECTOR3(SlotX(slot) + m_pegCentre.x, m_pegCentre.y, z + m_pegCentre.z), view);
        return {static_cast<LONG>(screen.x), static_cast<LONG>(screen.y)};
    }
    // The colour most pixels show in the 7 x 7 pixels around a point; a highlight, grey, is not counted.
    int ColourAround(const std::vector<uint32_t>& frame, POINT p) const {
        int votes[kColourCount] = {};
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                const int c = ColourOf(At(frame, p.x + dx, p.y + dy));
                if (c >= 0) {
                    ++votes[c];
                }
            }
        }
        const int best = static_cast<int>(std::max_element(votes, votes + kColourCount) - votes);
        return votes[best] >= 20 ? best : -1;
    }
    void Place(int peg, int colour, int slot, int row, bool visible) {
        float z = 0.0f;
        RowDepthFor(row * kCodeLength, &z);
        g_Pegs[peg].colourIndex = colour;
        g_Pegs[peg].visible = visible;
        g_Pegs[peg].SetPosition(SlotX(slot), 0.0f, z);
    }

    // Where the text alone, drawn on black, lights a pixel, the frame is at least as bright: white text
    // blended over anything is no darker than over black.
    void ExpectTextAt(const std::vector<uint32_t>& frame, int x, int y, const char* text, bool shown) {
        const std::vector<uint32_t> alone = DrawScene(0xFF000000, [&] { DrawFontText(x, y, text, kWhite); });
        ASSERT_EQ(alone.size(), frame.size());
        int lit = 0;
        int covered = 0;
        for (size_t i = 0; i < alone.size(); ++i) {
            if ((alone[i] & 0xFF) < 0x80) {
                continue;
            }
            ++lit;
            bool bright = true;
            for (int shift : {0, 8, 16}) {
                bright = bright && static_cast<int>((frame[i] >> shift) & 0xFF) >=
                                       static_cast<int>((alone[i] >> shift) & 0xFF) - 8;
            }
            covered += bright ? 1 : 0;
        }
        ASSERT_GT(lit, 5) << text;
        if (shown) {
            EXPECT_EQ(covered, lit) << "\"" << text << "\" at " << x << ", " << y;
        } else {
            EXPECT_LT(covered, lit / 2) << "\"" << text << "\" is not drawn";
        }
    }

    UINT m_width = 0;
    D3DXVECTOR3 m_pegCentre{};
};

TEST_F(PlayScreenDrawingTest, TheBackgroundUnderTheButtonsThenEachPlacedPegInItsColourThenTheTexts) {
    const std::vector<uint32_t> empty = Render();

    // Row 1 in the five colours, row 2 begun with violet and blue; the next record waits unplaced in
    // row 2, and an older one with a colour of its own stands in row 3 without its visible flag.
    const int rowOne[kCodeLength] = {Red, Yellow, Green, Blue, Violet};
    for (int slot = 0; slot < kCodeLength; ++slot) {
        Place(slot, rowOne[slot], slot, 0, true);
    }
    Place(5, Violet, 0, 1, true);
    Place(6, Blue, 1, 1, true);
    Place(7, Red, 2, 1, false);
    Place(8, Yellow, 3, 2, false);
    g_PegCount = 7;
    strcpy(g_StatusText, "Hai schiacciato il BLU");
    g_ExactHits = 2;
    g_ColourHits = 3;
    const std::vector<uint32_t> frame = Render();
    ASSERT_EQ(frame.size(), empty.size());

    // The background fills the screen through the sprite's scaling; the colour buttons stand over it.
    for (const POINT p : {POINT{200, 700}, POINT{600, 680}, POINT{750, 300}, POINT{1000, 400}}) {
        EXPECT_NE(At(frame, p.x, p.y), 0u) << "background at " << p.x << ", " << p.y;
        EXPECT_EQ(At(frame, p.x, p.y), At(empty, p.x, p.y));
    }
    for (int c = 0; c < kColourCount; ++c) {
        const CButton& button = g_ColourButtons[c];
        const POINT ball = {static_cast<LONG>(button.x * button.scaleX) + 28,
                            static_cast<LONG>(button.y * button.scaleY) + 44};
        EXPECT_EQ(ColourAround(frame, ball), c) << "colour button " << c;
    }

    for (int slot = 0; slot < kCodeLength; ++slot) {
        const POINT p = PegPoint(slot, 0);
        EXPECT_EQ(ColourAround(frame, p), rowOne[slot]) << "row 1, slot " << slot;
        EXPECT_NE(At(frame, p.x, p.y), At(empty, p.x, p.y)) << "the peg, not the board, row 1, slot " << slot;
    }
    EXPECT_EQ(ColourAround(frame, PegPoint(0, 1)), Violet);
    EXPECT_EQ(ColourAround(frame, PegPoint(1, 1)), Blue);
    for (const POINT p : {PegPoint(2, 1), PegPoint(3, 2)}) {
        EXPECT_EQ(At(frame, p.x, p.y), At(empty, p.x, p.y)) << "a record not placed is not drawn";
    }

    ExpectTextAt(frame, 10, 7, "Hai schiacciato il BLU", true);
    ExpectTextAt(frame, 901, 53, "2", true);
    ExpectTextAt(frame, 901, 168, "3", true);
    ExpectTextAt(frame, 317, 268, "  ROSSO  VERDE  ROSSO  VIOLA  VERDE ", false);
}

TEST_F(PlayScreenDrawingTest, TheSolutionCoversTheBoardOnlyOnceTheGameIsWonOrLost) {
    const int row[kCodeLength] = {Red, Green, Red, Violet, Green};
    for (int slot = 0; slot < kCodeLength; ++slot) {
        Place(slot, row[slot], slot, 0, true);
    }
    g_PegCount = 5;
    const std::vector<uint32_t> playing = Render();
    const std::vector<uint32_t> panel = DrawScene(0xFF000000, [] {
        g_SolutionPanel.Render();
        g_NewGameButton.Render();
        g_GameExitButton.Render();
    });
    // Inside the panel, on the new-game and exit buttons, and where the first row's pegs stand.
    std::vector<POINT> points = {{280, 200}, {290, 330}, {730, 330}, {420, 478}, {626, 478}};
    for (int slot = 0; slot < kCodeLength; ++slot) {
        points.push_back(PegPoint(slot, 0));
    }
    for (const POINT p : points) {
        EXPECT_NE(At(playing, p.x, p.y), At(panel, p.x, p.y))
            << "no panel while playing, " << p.x << ", " << p.y;
    }
    EXPECT_EQ(ColourAround(playing, PegPoint(3, 0)), Violet);
    ExpectTextAt(playing, 317, 268, "  ROSSO  VERDE  ROSSO  VIOLA  VERDE ", false);

    g_bWon = 1;
    const std::vector<uint32_t> won = Render();
    for (const POINT p : points) {
        EXPECT_EQ(At(won, p.x, p.y), At(panel, p.x, p.y))
            << "the panel over the pegs, " << p.x << ", " << p.y;
    }
    ExpectTextAt(won, 317, 268, "  ROSSO  VERDE  ROSSO  VIOLA  VERDE ", true);

    // A new game lost through the rules: blue held down, a peg a frame, no row with an exact peg.
    Click(g_NewGameButton);
    ASSERT_FALSE(g_bWon);
    memcpy(g_SecretCode, row, sizeof(row));
    PointAt(g_ColourButtons[Blue], false);
    Frame();
    PointAt(g_ColourButtons[Blue], true);
    for (int i = 0; i < kMaxPegs * 2 && g_PegCount < kMaxPegs - 1; ++i) {
        Frame(201);
    }
    ASSERT_EQ(g_PegCount, kMaxPegs - 1);
    ASSERT_FALSE(g_bLost);
    const std::vector<uint32_t> lastRow = Render();
    EXPECT_EQ(ColourAround(lastRow, PegPoint(0, kRowCount - 1)), Blue) << "the 19th row is being filled";

    Frame(201);
    ASSERT_TRUE(g_bLost);
    ASSERT_FALSE(g_bWon);
    const std::vector<uint32_t> lost = Render();
    for (const POINT p : points) {
        EXPECT_EQ(At(lost, p.x, p.y), At(panel, p.x, p.y))
            << "the panel after a loss, " << p.x << ", " << p.y;
    }
    ExpectTextAt(lost, 317, 268, "  ROSSO  VERDE  ROSSO  VIOLA  VERDE ", true);
    // Every peg the game placed is out of view: the frame is the same without them.
    for (CFrame& peg : g_Pegs) {
        peg.visible = false;
    }
    EXPECT_TRUE(Render() == lost) << "no peg is seen after a loss";
}

} // namespace
