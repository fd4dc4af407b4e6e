// The rules of the game: the secret, scoring, peg placement, the click rule, win, loss, new game.
#include "play_screen_fixture.h"
#include "services/test_seams.h"

#include "game/game.h"
#include "input/input.h"
#include "scene/scene.h"
#include "ui/button.h"

#include <cstdlib>

namespace {

enum Colour { Red, Yellow, Green, Blue, Violet };

DWORD s_now = 0;
DWORD FedClock() {
    return s_now;
}

// The game's state as the program starts it, the random generator included.
void ResetGame() {
    play_screen::ResetPlayScreen();
}

void SetSecret(std::initializer_list<int> colours) {
    int i = 0;
    for (int c : colours) {
        g_SecretCode[i++] = c;
    }
}

void PlaceRow(std::initializer_list<int> colours) {
    for (int c : colours) {
        g_Pegs[g_PegCount++].colourIndex = c;
    }
}

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGame();
        SetTimeSource(FedClock);
    }
    void TearDown() override {
        SetTimeSource(nullptr);
        ResetGame();
    }
};

TEST_F(RulesTest, ScoringCountsExactPegsThenCommonColours) {
    const struct {
        std::initializer_list<int> secret, row;
        int exact, colours;
        bool won;
    } cases[] = {
        {{Red, Red, Green, Blue, Violet}, {Red, Green, Red, Red, Red}, 1, 2, false},
        {{Red, Yellow, Green, Blue, Violet}, {Red, Red, Red, Red, Red}, 1, 1, false},
        {{Red, Red, Yellow, Yellow, Green}, {Yellow, Yellow, Red, Red, Blue}, 0, 2, false},
        {{Blue, Green, Red, Violet, Yellow}, {Blue, Green, Red, Violet, Yellow}, 5, 0, true},
        {{Blue, Blue, Blue, Blue, Blue}, {Red, Yellow, Green, Violet, Red}, 0, 0, false},
        {{Red, Yellow, Green, Blue, Violet}, {Violet, Red, Yellow, Green, Blue}, 0, 5, false},
    };
    for (const auto& c : cases) {
        ResetGame();
        SetSecret(c.secret);
        PlaceRow({Blue, Blue, Blue, Blue, Blue}); // an earlier row must not count
        PlaceRow(c.row);
        ScoreRow();
        EXPECT_EQ(g_ExactHits, c.exact);
        EXPECT_EQ(g_ColourHits, c.colours);
        EXPECT_EQ(g_bWon != 0, c.won);
    }
}

TEST_F(RulesTest, TheSecretFollowsTheGeneratorAndTheClock) {
    // The generator's offsets: 0, 2, 0, 4, 2 for the first game, 2, 1, 4, 4, 3 for the second.
    for (DWORD t : {0u, 7u, 1048576u + 3u, 67108864u + 1u, 0x80000000u, 0xFFFFFFFFu}) {
        srand(1);
        s_now = t;
        DrawSecretCode();
        const int offsets1[] = {0, 2, 0, 4, 2};
        for (int i = 0; i < kCodeLength; ++i) {
            EXPECT_EQ(g_SecretCode[i], static_cast<int>(static_cast<DWORD>(t + offsets1[i]) % 5u))
                << "clock " << t << " position " << i;
            EXPECT_GE(g_SecretCode[i], 0);
            EXPECT_LT(g_SecretCode[i], 5);
        }
        DrawSecretCode();
        const int offsets2[] = {2, 1, 4, 4, 3};
        for (int i = 0; i < kCodeLength; ++i) {
            EXPECT_EQ(g_SecretCode[i], static_cast<int>(static_cast<DWORD>(t + offsets2[i]) % 5u))
                << "clock " << t << " position " << i;
        }
    }
}

TEST_F(RulesTest, RowDepthsAndSlots) {
    const float depths[] = {-1.85f, -3.7f,  -5.55f, -7.35f, -9.0f,  -10.8f, -12.4f, -14.0f, -15.8f,
                            -17.4f, -19.2f, -21.1f, -22.7f, -24.5f, -26.5f, -28.2f, -29.8f, -31.3f};
    for (int row = 0; row < 18; ++row) {
        float z = 1.0f;
        ASSERT_TRUE(RowDepthFor((row + 1) * 5, &z));
        EXPECT_EQ(z, depths[row]);
    }
    float z = 7.0f;
    EXPECT_FALSE(RowDepthFor(0, &z));
    EXPECT_FALSE(RowDepthFor(4, &z));
    EXPECT_FALSE(RowDepthFor(95, &z));
    EXPECT_EQ(z, 7.0f);
    const float xs[] = {6.0f, 3.0f, 0.0f, -3.0f, -6.0f};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(SlotX(slot), xs[slot]);
    }
}

TEST_F(RulesTest, TheClickRuleIsStrictAndWraps) {
    CButton button = {};
    button.isOver = true;
    button.isPressed = true;
    button.lastClickTime = 1000;
    EXPECT_FALSE(IsClicked(button, 1200));
    EXPECT_TRUE(IsClicked(button, 1201));
    button.isPressed = false;
    EXPECT_FALSE(IsClicked(button, 5000));
    button.isPressed = true;
    button.isOver = false;
    EXPECT_FALSE(IsClicked(button, 5000));
    button.isOver = true;
    button.lastClickTime = 0xFFFFFF00u;           // 256 ms before the clock wraps
    EXPECT_FALSE(IsClicked(button, 0xFFFFFFC0u)); // 192 ms later
    EXPECT_TRUE(IsClicked(button, 0x00000010u));  // 272 ms later, across the wrap
}

TEST_F(RulesTest, ANewGameClearsTheBoardButKeepsStatusAndHelp) {
    strcpy(g_StatusText, "Hai schiacciato il BLU");
    g_bOverlay = 1;
    g_bWon = 1;
    g_PegCount = 35;
    g_RowZ = -12.4f;
    g_Pegs[3].visible = true;
    g_Pegs[3].colourIndex = Violet;
    g_ColourButtons[2].lastClickTime = 777;
    g_ExactHits = 5;
    g_ColourHits = 2;
    s_now = 10;
    StartNewGame();
    EXPECT_EQ(g_PegCount, 0);
    EXPECT_EQ(g_ExactHits, 0);
    EXPECT_EQ(g_ColourHits, 0);
    EXPECT_EQ(g_RowZ, 0.0f);
    EXPECT_FALSE(g_bWon);
    EXPECT_FALSE(g_bLost);
    for (const CFrame& peg : g_Pegs) {
        EXPECT_FALSE(peg.visible);
        EXPECT_EQ(peg.position, D3DXVECTOR3(0.0f, 0.0f, 100.0f));
    }
    EXPECT_EQ(g_Pegs[3].colourIndex, Violet) << "colours are left as they are";
    EXPECT_STREQ(g_StatusText, "Hai schiacciato il BLU");
    EXPECT_TRUE(g_bOverlay);
    EXPECT_EQ(g_ColourButtons[2].lastClickTime, 777u);
    EXPECT_EQ(g_SecretCode[0], 0 + 10 % 5); // a new secret from the generator's start
}

} // namespace
