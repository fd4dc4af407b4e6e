// Spoiled files under every picture name the game and its components load, through their own load
// paths: the graphics start-up, the play screen's set-up with its meshes, the sprite pictures, the
// bitmap surfaces and the effect wrapper. Each file is refused as a missing one is; nothing crashes, and
// no group of loads takes 10 s or more.
#include "harness.h"
#include "game_folder_copy.h"
#include "spoiled_pictures.h"
#include "shell/shell.h"

#include "game/game.h"
#include "game/asset_files.h"
#include "scene/scene.h"
#include "ui/alphabet.h"
#include "ui/button.h"
#include "ui/console.h"
#include "ui/font.h"

#include <chrono>
#include <string>
#include <vector>

namespace {

const char* const kSplashPictures[] = {"Immagini\\VARNOX_LOGO.jpg", "Immagini\\Loading.jpg",
                                       "Immagini\\Title.jpg"};
const char kBackground[] = "Immagini\\quorvantis_back.png";
const char kBoardTexture[] = "Data\\legno.jpg";
const char kTextures[] = "Data\\Textures\\";

std::string InFolder(const char* folder, const char* file) {
    return std::string(folder) + file;
}

// The play screen's pictures whose failure stops its set-up, in the order it loads them, with the box
// each shows: the background, then the peg textures red, green, yellow, blue, violet.
struct StoppingPicture {
    std::string file;
    std::string box;
};

std::vector<StoppingPicture> StoppingPictures() {
    std::vector<StoppingPicture> pictures = {{kBackground, "Impossibile caricare la texture di sfondo \n"}};
    const char* const words[kColourCount] = {"rossa", "gialla", "verde", "blu", "viola"};
    for (int colour : {0, 2, 1, 3, 4}) {
        pictures.push_back({InFolder("Data\\", asset_files::kPegTextures[colour]),
                            std::string("Impossibile caricare la texture ") + words[colour] + " \n"});
    }
    return pictures;
}

// The play screen's pictures whose failure only leaves them undrawn: its twelve buttons and panels and
// the board's texture, which the mesh loader loads.
std::vector<std::string> PicturesLeftUndrawn() {
    std::vector<std::string> files;
    for (const char* button : asset_files::kColourButtons) {
        files.push_back(InFolder("Immagini\\GUI\\", button));
    }
    for (const char* panel : {asset_files::kExactLabel, asset_files::kColourLabel, asset_files::kHelpButton,
                              asset_files::kInstructions, asset_files::kSolutionPanel,
                              asset_files::kNewGameButton, asset_files::kGameExitButton}) {
        files.push_back(InFolder("Immagini\\GUI\\", panel));
    }
    files.push_back(kBoardTexture);
    return files;
}

// Fails the test when its scope takes 10 s or more, as the files that held a decoder did; a refused file
// costs far less, and the sound pictures loaded beside it well under a second each.
class TimeBound {
public:
    explicit TimeBound(const char* what) : m_what(what), m_start(std::chrono::steady_clock::now()) {}
    ~TimeBound() {
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - m_start;
        EXPECT_LT(taken.count(), 10.0) << m_what << " took 10 s or more";
    }
    TimeBound(const TimeBound&) = delete;
    TimeBound& operator=(const TimeBound&) = delete;

private:
    const char* m_what;
    std::chrono::steady_clock::time_point m_start;
};

std::vector<SpoiledPicture> Kinds() {
    std::vector<SpoiledPicture> kinds = SpoiledPictureKinds();
    EXPECT_EQ(kinds.size(), 21u);
    return kinds;
}

class SpoiledStartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppGlobals();
        m_window = CreateTestWindow(WndProc);
        ASSERT_NE(m_window, nullptr);
        g_hWnd = m_window;
    }
    void TearDown() override {
        ReleaseSplash();
        ResetAppGlobals();
        DestroyTestWindow(m_window);
    }

    HWND m_window = nullptr;
};

TEST_F(SpoiledStartUpTest, ASpoiledSplashPictureStopsTheStartUpWithItsMessage) {
    const std::vector<SpoiledPicture> kinds = Kinds();
    GameFolderCopy folder({std::begin(kSplashPictures), std::end(kSplashPictures)});
    for (size_t spoiled = 0; spoiled < 3; ++spoiled) {
        for (const SpoiledPicture& kind : kinds) {
            SCOPED_TRACE(std::string(kSplashPictures[spoiled]) + ": " + kind.what);
            folder.Spoil(kSplashPictures[spoiled], kind.bytes);
            {
                const TimeBound bound("the graphics start-up");
                MessageBoxAnswerer answerer;
                EXPECT_EQ(InitGraphics(m_window), E_FAIL);
                ASSERT_THAT(answerer.Seen(), SizeIs(2u)) << "the question, then the failure";
                EXPECT_EQ(answerer.Seen()[1].text, "Impossibile caricare la texture \n");
            }
            const LPDIRECT3DTEXTURE9 textures[] = {g_pLogoTexture, g_pLoadingTexture, g_pTitleTexture};
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(textures[i] != nullptr, i < spoiled) << "picture " << i;
            }
            EXPECT_EQ(g_pSprite, nullptr);
            folder.Restore(kSplashPictures[spoiled]);
            ReleaseSplash();
            ResetAppGlobals();
            g_hWnd = m_window;
        }
    }
}

class SpoiledPlayScreenTest : public DeviceTest {
protected:
    void TearDown() override {
        ReleaseScene();
        g_pFont = nullptr; // released above, but left set as the release leaves it
        DeviceTest::TearDown();
    }

    // The play screen's set-up from the start, as the loading stage runs it.
    HRESULT SetUpPlayScreen() {
        ReleaseScene();
        g_pFont = nullptr;
        g_BoardFrame.pFirstMeshContainer = nullptr;
        for (CFrame& peg : g_Pegs) {
            peg.pFirstMeshContainer = nullptr;
        }
        EXPECT_EQ(D3DXCreateSprite(g_pd3dDevice, &g_pSprite), S_OK);
        return LoadScene(m_window);
    }
};

TEST_F(SpoiledPlayScreenTest, SpoiledPicturesAreRefusedAsMissingOnesAre) {
    const std::vector<SpoiledPicture> kinds = Kinds();
    const std::vector<StoppingPicture> stopping = StoppingPictures();
    const std::vector<std::string> undrawn = PicturesLeftUndrawn();
    std::vector<std::string> files = undrawn;
    for (const StoppingPicture& picture : stopping) {
        files.push_back(picture.file);
    }
    for (const char* mesh : {"Data\\quorvantis.x", "Data\\pedino.x"}) {
        files.push_back(mesh);
    }
    GameFolderCopy folder(files);
    CButton* const buttons[] = {&g_ColourButtons[0], &g_ColourButtons[1], &g_ColourButtons[2],
                                &g_ColourButtons[3], &g_ColourButtons[4], &g_ExactLabel,
                                &g_ColourLabel,      &g_HelpButtons[0],   &g_HelpButtons[1],
                                &g_SolutionPanel,    &g_NewGameButton,    &g_GameExitButton};
    for (const SpoiledPicture& kind : kinds) {
        SCOPED_TRACE(kind.what);
        // Every picture that leaves the set-up going spoiled at once: the set-up ends whole, without them.
        for (const std::string& file : undrawn) {
            folder.Spoil(file, kind.bytes);
        }
        {
            const TimeBound bound("the play screen's set-up");
            MessageBoxAnswerer answerer;
            DebugOutputRecorder recorder;
            EXPECT_EQ(SetUpPlayScreen(), 1);
            EXPECT_THAT(answerer.Seen(), IsEmpty());
            EXPECT_EQ(recorder.ErrorLineCount("Impossibile caricare la texture"), 36)
                << "three for each picture";
        }
        for (const CButton* button : buttons) {
            EXPECT_EQ(button->pOverTexture, nullptr);
            EXPECT_EQ(button->pUpTexture, nullptr);
            EXPECT_EQ(button->pDownTexture, nullptr);
        }
        ASSERT_NE(g_pBoardMesh, nullptr);
        EXPECT_EQ(g_pBoardMesh->ppTextures[0], nullptr) << "the board's texture";
        EXPECT_NE(g_pVioletTexture, nullptr) << "the peg textures load";
        g_pd3dDevice->BeginScene();
        GameRender();
        g_pd3dDevice->EndScene();
        for (const std::string& file : undrawn) {
            folder.Restore(file);
        }

        // Each picture that stops the set-up: its own box, and nothing after it is loaded.
        for (const StoppingPicture& picture : stopping) {
            SCOPED_TRACE(picture.file);
            folder.Spoil(picture.file, kind.bytes);
            const TimeBound bound("the play screen's set-up");
            MessageBoxAnswerer answerer;
            EXPECT_EQ(SetUpPlayScreen(), E_FAIL);
            ASSERT_THAT(answerer.Seen(), SizeIs(1u));
            EXPECT_EQ(answerer.Seen()[0].text, picture.box);
            EXPECT_EQ(g_ColourButtons[0].pOverTexture, nullptr);
            folder.Restore(picture.file);
        }
    }
}

class SpoiledComponentPicturesTest : public DeviceTest {};

// The title's buttons and the cursor (sprite pictures the title stage loads), the slider's pictures,
// the alphabet and the console's background (bitmap surfaces) and the textures an effect names.
TEST_F(SpoiledComponentPicturesTest, SpoiledPicturesAreRefusedWithEachLoadersLine) {
    const std::vector<SpoiledPicture> kinds = Kinds();
    const std::vector<std::string> sprites = {
        "Immagini\\Button\\startGame.png", "Immagini\\Button\\startGameOn.png",
        "Immagini\\Button\\exitGame.png",  "Immagini\\Button\\exitGameOn.png",
        "Immagini\\Mouse\\cursore.bmp",    "Immagini\\Slider\\barra.png",
        "Immagini\\Slider\\slider.png"};
    const std::string alphabet = "Alfabeto\\Expo_16x32_VARNOX.bmp";
    const std::string console = "Immagini\\ConsoleBackground.bmp";
    const std::string effect = "Data\\Effects\\trame.fxo";
    const std::vector<std::string> textures = {InFolder(kTextures, "marmo.png"),
                                               InFolder(kTextures, "rumore.dds")};
    std::vector<std::string> files = sprites;
    files.insert(files.end(), {alphabet, console, effect, textures[0], textures[1]});
    GameFolderCopy folder(files);

    for (const SpoiledPicture& kind : kinds) {
        SCOPED_TRACE(kind.what);
        for (const std::string& file : sprites) {
            folder.Spoil(file, kind.bytes);
            const TimeBound bound("the sprite pictures");
            DebugOutputRecorder recorder;
            CButton button = {};
            button.Init(10.0f, 10.0f);
            button.LoadImages(("..\\" + file).c_str());
            button.LoadOverImage(("..\\" + file).c_str());
            EXPECT_EQ(button.pUpTexture, nullptr) << file;
            EXPECT_EQ(button.pOverTexture, nullptr) << file;
            EXPECT_EQ(recorder.ErrorLineCount("Impossibile caricare la texture"), 4) << file;
            button.Release();
            folder.Restore(file);
        }

        folder.Spoil(alphabet, kind.bytes);
        folder.Spoil(console, kind.bytes);
        {
            const TimeBound bound("the bitmap surfaces");
            DebugOutputRecorder recorder;
            EXPECT_EQ(InitAlphabet(("..\\" + alphabet).c_str(), 16, 32), E_FAIL);
            IDirect3DSurface9* surface = nullptr;
            ASSERT_EQ("..\\" + console, g_szConsoleBackground);
            EXPECT_EQ(LoadBitmapSurface(g_szConsoleBackground, &surface, g_pd3dDevice), E_FAIL);
            EXPECT_EQ(surface, nullptr);
            EXPECT_EQ(recorder.ErrorLineCount("Unable to load bitmap"), 2) << recorder.Joined();
            EXPECT_EQ(recorder.ErrorLineCount("Unable to load alphabet bitmap"), 1);
            ReleaseAlphabet();
        }
        folder.Restore(alphabet);
        folder.Restore(console);

        for (const std::string& file : textures) {
            folder.Spoil(file, kind.bytes);
        }
        {
            const TimeBound bound("the effect's textures");
            DebugOutputRecorder recorder;
            CEffect* effectRecord = new CEffect();
            // Without its mesh the effect is still made and its textures loaded.
            EXPECT_EQ(effectRecord->LoadEffect("nessuna.x", ("..\\" + effect).c_str()), S_OK);
            // Both files are named by several parameters; none gets a texture.
            EXPECT_EQ(recorder.ErrorLineCount("Impossibile caricare la texture"), 4) << recorder.Joined();
            EXPECT_EQ(recorder.ErrorLineCount("Impossibile caricare la VolumeTexture"), 2);
            delete effectRecord;
        }
        for (const std::string& file : textures) {
            folder.Restore(file);
        }
    }
}

} // namespace
