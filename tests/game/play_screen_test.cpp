// The play screen on a real device: its set-up and release, and whole games played through GameFrame
// with the mouse fields set as the mouse would set them and a clock the test feeds.
#include "game_folder_copy.h"
#include "play_screen_fixture.h"
#include "shell/shell.h"

#include <string>

namespace {

using namespace play_screen;

TEST_F(PlayScreenTest, SetUpLoadsEverythingAndPlacesTheCamera) {
    MessageBoxAnswerer answerer;
    ASSERT_EQ(LoadScene(m_window), 1);
    EXPECT_THAT(answerer.Seen(), IsEmpty());
    for (int c = 0; c < kColourCount; ++c) {
        EXPECT_NE(PegTexture(c), nullptr) << c;
    }
    EXPECT_EQ(PegTexture(-1), nullptr);
    EXPECT_EQ(PegTexture(5), nullptr);
    ASSERT_NE(g_pPegMesh, nullptr);
    for (const CFrame& peg : g_Pegs) {
        EXPECT_EQ(peg.pFirstMeshContainer, g_pPegMesh);
    }
    EXPECT_EQ(g_BoardFrame.pFirstMeshContainer, g_pBoardMesh);
    float x, y, z;
    g_Camera.GetPosition(&x, &y, &z);
    EXPECT_EQ(D3DXVECTOR3(x, y, z), D3DXVECTOR3(0.0f, 25.0f, 35.0f));
    D3DXMATRIX transform;
    g_pSprite->GetTransform(&transform);
    EXPECT_FLOAT_EQ(transform._11, 1.0f);
    EXPECT_FLOAT_EQ(transform._22, 0.75f);

    const struct {
        const CButton* button;
        float x, y, scaleX, scaleY;
    } layout[] = {
        {&g_ColourButtons[0], 20, 76, 0.5f, 0.7f},    {&g_ColourButtons[1], 20, 230, 0.5f, 0.7f},
        {&g_ColourButtons[2], 20, 384, 0.5f, 0.7f},   {&g_ColourButtons[3], 20, 537, 0.5f, 0.7f},
        {&g_ColourButtons[4], 20, 691, 0.5f, 0.7f},   {&g_ExactLabel, 1536, 0, 0.5f, 0.5f},
        {&g_ColourLabel, 1536, 224.256f, 0.5f, 0.5f}, {&g_HelpButtons[0], 1740, 921, 0.5f, 0.7f},
        {&g_HelpButtons[1], 512, 230, 0.5f, 0.7f},    {&g_SolutionPanel, 512, 230, 0.5f, 0.7f},
        {&g_NewGameButton, 716, 614, 0.5f, 0.7f},     {&g_GameExitButton, 1126, 614, 0.5f, 0.7f},
    };
    for (const auto& entry : layout) {
        EXPECT_FLOAT_EQ(entry.button->x, entry.x);
        EXPECT_FLOAT_EQ(entry.button->y, entry.y);
        EXPECT_EQ(entry.button->scaleX, entry.scaleX);
        EXPECT_EQ(entry.button->scaleY, entry.scaleY);
        EXPECT_NE(entry.button->pOverTexture, nullptr);
    }
}

// The files the play screen's set-up reads before its buttons, but those left out.
std::vector<std::string> SetUpFilesWithout(const std::string& missing) {
    std::vector<std::string> files;
    for (const char* file :
         {"Immagini\\quorvantis_back.png", "Data\\Red.png", "Data\\Giallo.png", "Data\\Green.png",
          "Data\\Blue.png", "Data\\Viola.png", "Data\\pedino.x", "Data\\quorvantis.x", "Data\\legno.jpg"}) {
        if (missing != file) {
            files.push_back(file);
        }
    }
    return files;
}

TEST_F(PlayScreenTest, AMissingColourTextureStopsTheSetUpAfterTheColoursBeforeIt) {
    GameFolderCopy folder(SetUpFilesWithout("Data\\Giallo.png"));
    MessageBoxAnswerer answerer;
    DebugOutputRecorder recorder;
    EXPECT_EQ(LoadScene(m_window), E_FAIL);
    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    EXPECT_EQ(answerer.Seen()[0].caption, "Errore");
    EXPECT_EQ(answerer.Seen()[0].text, "Impossibile caricare la texture gialla \n");
    EXPECT_EQ(answerer.Seen()[0].icon, BoxIcon::Exclamation);
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile caricare la texture"));
    EXPECT_NE(g_pRedTexture, nullptr);
    EXPECT_NE(g_pGreenTexture, nullptr);
    EXPECT_EQ(g_pYellowTexture, nullptr);
    EXPECT_EQ(g_pBlueTexture, nullptr);
    EXPECT_EQ(g_pVioletTexture, nullptr);
    EXPECT_EQ(g_ColourButtons[0].pOverTexture, nullptr) << "no button is set up";
    EXPECT_NE(g_pPegMesh, nullptr) << "the meshes come before the textures";

    // Play goes on without what was never made: frames draw and take clicks without a crash.
    Frame();
    Frame();
    EXPECT_EQ(g_PegCount, 0);
}

TEST_F(PlayScreenTest, AMissingBackgroundStopsBeforeTheSecretAndTheReleaseTouchesOnlyWhatExists) {
    GameFolderCopy folder(SetUpFilesWithout("Immagini\\quorvantis_back.png"));
    MessageBoxAnswerer answerer;
    const int before[kCodeLength] = {7, 7, 7, 7, 7};
    memcpy(g_SecretCode, before, sizeof(before));
    EXPECT_EQ(LoadScene(m_window), E_FAIL);
    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    EXPECT_EQ(answerer.Seen()[0].text, "Impossibile caricare la texture di sfondo \n");
    EXPECT_EQ(memcmp(g_SecretCode, before, sizeof(before)), 0) << "no secret drawn";
    EXPECT_EQ(g_pPegMesh, nullptr);

    Frame();
    g_Camera.SetLook(1.0f, 0.0f, 0.0f);
    ReleaseScene();
    EXPECT_EQ(g_pSprite, nullptr);
    float x, y, z;
    g_Camera.GetLook(&x, &y, &z);
    EXPECT_EQ(D3DXVECTOR3(x, y, z), D3DXVECTOR3(0.0f, 0.0f, 1.0f)) << "the camera is reset";
    g_Camera.GetPosition(&x, &y, &z);
    EXPECT_EQ(D3DXVECTOR3(x, y, z), D3DXVECTOR3(0.0f, 0.0f, -1.0f));
}

TEST_F(PlayScreenTest, ColourClicksPlacePegsRowByRowAndScoreCompleteRows) {
    ASSERT_EQ(LoadScene(m_window), 1);
    const int secret[kCodeLength] = {0, 1, 2, 3, 4};
    memcpy(g_SecretCode, secret, sizeof(secret));

    // Row 1: red, red, yellow, blue, green: exact 2 (red, blue); red, yellow and green misplaced.
    for (int colour : {0, 0, 1, 3, 2}) {
        Click(g_ColourButtons[colour]);
    }
    EXPECT_EQ(g_PegCount, 5);
    EXPECT_STREQ(g_StatusText, "Hai schiacciato il VERDE");
    Frame();
    EXPECT_EQ(g_ExactHits, 2);
    EXPECT_EQ(g_ColourHits, 3);
    const float xs[] = {6.0f, 3.0f, 0.0f, -3.0f, -6.0f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(g_Pegs[i].visible);
        EXPECT_EQ(g_Pegs[i].position, D3DXVECTOR3(xs[i], 0.0f, 0.0f));
    }
    EXPECT_EQ(g_Pegs[5].position, D3DXVECTOR3(6.0f, 0.0f, -1.85f)) << "the next peg waits in row 2";
    EXPECT_FALSE(g_Pegs[5].visible);

    // The next peg clears the counts until its row is complete.
    Click(g_ColourButtons[4]);
    EXPECT_EQ(g_ExactHits, 0);
    EXPECT_EQ(g_ColourHits, 0);
    EXPECT_EQ(g_Pegs[5].colourIndex, 4);
}

TEST_F(PlayScreenTest, AHeldButtonRepeatsAfterEvery200ms) {
    ASSERT_EQ(LoadScene(m_window), 1);
    PointAt(g_ColourButtons[2], false);
    Frame(); // the drawing sets the flags the next frame reads
    PointAt(g_ColourButtons[2], true);
    Frame();
    Frame(); // the first frame that sees the press
    EXPECT_EQ(g_PegCount, 1);
    Frame(200); // exactly 200 ms: not yet
    EXPECT_EQ(g_PegCount, 1);
    Frame(1);
    EXPECT_EQ(g_PegCount, 2);
    Frame(100);
    EXPECT_EQ(g_PegCount, 2);
}

// A short click read by several drawings, then a frame stalled past 200 ms: the later drawings' flags
// were read within 200 ms of the click taken, and the press has gone, or holds on another button, so
// they make no second click. While the press holds on the button, slow frames repeat it as fast ones do.
TEST_F(PlayScreenTest, AShortClickCountsOnceHoweverLongTheFramesAfterIt) {
    ASSERT_EQ(LoadScene(m_window), 1);
    PointAt(g_ColourButtons[0], false);
    Frame();
    PointAt(g_ColourButtons[0], true);
    Frame();
    Frame(); // taken, and read down again
    ASSERT_EQ(g_PegCount, 1);
    PointAt(g_ColourButtons[0], false);
    Frame(290);
    EXPECT_EQ(g_PegCount, 1) << "read by two drawings";
    Frame(290);
    EXPECT_EQ(g_PegCount, 1);

    PointAt(g_ColourButtons[0], true);
    Frame();
    Frame();   // taken
    Frame(60); // read down once more, after the click
    ASSERT_EQ(g_PegCount, 2);
    PointAt(g_ColourButtons[0], false);
    Frame(150);
    EXPECT_EQ(g_PegCount, 2) << "read by three drawings";

    PointAt(g_ColourButtons[0], true);
    Frame(250);
    Frame(); // taken
    ASSERT_EQ(g_PegCount, 3);
    PointAt(g_ColourButtons[1], true);
    Frame(290);
    EXPECT_EQ(g_PegCount, 3) << "the press that holds is on GIALLO, not on ROSSO";
    Frame();
    ASSERT_EQ(g_PegCount, 4);
    EXPECT_EQ(g_Pegs[3].colourIndex, 1);
    PointAt(g_ColourButtons[1], false);
    Frame();

    PointAt(g_HelpButtons[0], true);
    Frame();
    Frame();
    ASSERT_TRUE(g_bOverlay);
    PointAt(g_HelpButtons[0], false);
    Frame(290);
    EXPECT_TRUE(g_bOverlay) << "a released help click toggles once";
    PointAt(g_HelpButtons[0], true);
    Frame();
    Frame();
    ASSERT_FALSE(g_bOverlay);
    PointAt(g_ColourButtons[1], true);
    Frame(290);
    EXPECT_FALSE(g_bOverlay) << "the press that holds is on GIALLO, not on AIUTO";
    Frame();
    EXPECT_EQ(g_PegCount, 5) << "GIALLO's own click";
    PointAt(g_ColourButtons[1], false);
    Frame();

    PointAt(g_ColourButtons[2], true);
    Frame();
    Frame();
    ASSERT_EQ(g_PegCount, 6);
    for (int peg = 7; peg <= 9; ++peg) {
        Frame(290);
        EXPECT_EQ(g_PegCount, peg) << "a held button repeats in every slow frame";
    }
}

TEST_F(PlayScreenTest, HelpRefusesColoursAndReadsTheCountsAs0UntilAKeyHidesIt) {
    ASSERT_EQ(LoadScene(m_window), 1);
    const int secret[kCodeLength] = {0, 1, 2, 3, 4};
    memcpy(g_SecretCode, secret, sizeof(secret));
    for (int colour : {0, 0, 1, 3, 2}) {
        Click(g_ColourButtons[colour]);
    }
    ASSERT_EQ(g_ExactHits, 2);
    ASSERT_EQ(g_ColourHits, 3);

    Click(g_HelpButtons[0]);
    EXPECT_TRUE(g_bOverlay);
    EXPECT_EQ(g_ExactHits, 0) << "help over a complete row";
    EXPECT_EQ(g_ColourHits, 0);
    Click(g_ColourButtons[0]);
    EXPECT_EQ(g_PegCount, 5) << "colour clicks are refused while help is shown";
    WndProc(m_window, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(g_bOverlay);
    Frame();
    EXPECT_EQ(g_ExactHits, 2) << "the complete row is scored again";
    Click(g_ColourButtons[0]);
    EXPECT_EQ(g_PegCount, 6);
}

TEST_F(PlayScreenTest, AWinShowsTheSolutionAndANewGameStartsAgain) {
    ASSERT_EQ(LoadScene(m_window), 1);
    const int secret[kCodeLength] = {0, 2, 0, 4, 2};
    memcpy(g_SecretCode, secret, sizeof(secret));
    for (int colour : secret) {
        Click(g_ColourButtons[colour]);
    }
    EXPECT_TRUE(g_bWon);
    EXPECT_EQ(g_ExactHits, 5);
    EXPECT_STREQ(g_TextBuf, "  ROSSO  VERDE  ROSSO  VIOLA  VERDE ");

    Click(g_ColourButtons[1]);
    EXPECT_EQ(g_PegCount, 5) << "colour clicks are refused once the game is won";

    Click(g_NewGameButton);
    EXPECT_FALSE(g_bWon);
    EXPECT_EQ(g_PegCount, 0);
    for (const CFrame& peg : g_Pegs) {
        ASSERT_FALSE(peg.visible);
    }
    EXPECT_STREQ(g_StatusText, "Hai schiacciato il VERDE") << "a new game keeps the status line";
}

TEST_F(PlayScreenTest, The95thPegLosesAndMovesEveryPegOutOfView) {
    ASSERT_EQ(LoadScene(m_window), 1);
    const int secret[kCodeLength] = {1, 1, 1, 1, 1};
    memcpy(g_SecretCode, secret, sizeof(secret));
    PointAt(g_ColourButtons[3], false);
    Frame();
    PointAt(g_ColourButtons[3], true);
    for (int i = 0; i < 95 * 2 + 4 && !g_bLost; ++i) {
        Frame(201);
    }
    EXPECT_TRUE(g_bLost);
    EXPECT_EQ(g_PegCount, 95);
    EXPECT_EQ(g_RowZ, 0.0f);
    for (const CFrame& peg : g_Pegs) {
        ASSERT_EQ(peg.position, D3DXVECTOR3(0.0f, 0.0f, 100.0f));
    }
    EXPECT_TRUE(g_Pegs[94].visible) << "visible flags are left as they are";
    Frame(201);
    EXPECT_EQ(g_PegCount, 95);
}

// The 19th row is scored before the loss is set: a row that matches the secret sets both flags.
TEST_F(PlayScreenTest, ANineteenthRowMatchingTheSecretWinsAndLoses) {
    ASSERT_EQ(LoadScene(m_window), 1);
    const int secret[kCodeLength] = {3, 1, 4, 1, 2};
    memcpy(g_SecretCode, secret, sizeof(secret));
    for (int i = 0; i < 94; ++i) {
        g_Pegs[i].visible = true;
        g_Pegs[i].colourIndex = i < 90 ? 0 : secret[i - 90];
    }
    g_PegCount = 94;
    g_RowZ = -31.3f;
    Click(g_ColourButtons[secret[4]]);
    EXPECT_EQ(g_PegCount, 95);
    EXPECT_TRUE(g_bWon);
    EXPECT_TRUE(g_bLost);
    EXPECT_EQ(g_ExactHits, 5) << "counted in the frame of the last peg";
    EXPECT_EQ(g_RowZ, 0.0f);
    for (const CFrame& peg : g_Pegs) {
        ASSERT_EQ(peg.position, D3DXVECTOR3(0.0f, 0.0f, 100.0f));
    }
    EXPECT_STREQ(g_TextBuf, "  BLU  GIALLO  VIOLA  GIALLO  VERDE ");
    Frame();
    EXPECT_EQ(g_ExactHits, 0) << "once the game has ended no row is scored";
}

TEST_F(PlayScreenTest, TheExitButtonEndsTheProgramOnlyAfterTheGame) {
    ASSERT_EQ(LoadScene(m_window), 1);
    // While the game goes on the button is neither drawn nor judged: the click returns.
    EXPECT_EXIT(
        {
            Click(g_GameExitButton);
            exit(7);
        },
        ::testing::ExitedWithCode(7), "");
    g_bLost = 1;
    EXPECT_EXIT(Click(g_GameExitButton), ::testing::ExitedWithCode(0), "");
}

TEST_F(PlayScreenTest, TheCameraLooksAtTheBoardFromAboveTheNearRow) {
    ASSERT_EQ(LoadScene(m_window), 1);
    Frame();
    D3DXMATRIX view;
    g_pd3dDevice->GetTransform(D3DTS_VIEW, &view);
    D3DXMATRIX expected;
    const D3DXVECTOR3 eye(0.0f, 25.0f, 35.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&expected, &eye, &at, &up);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(view.m[r][c], expected.m[r][c], 1e-4f);
        }
    }
}

} // namespace
