// The play screen's set-up and release: background, sprite scaling, the first secret, the board and
// peg meshes, the peg textures, the twelve picture buttons and the camera's place.
#include "game/game.h"
#include "game/asset_files.h"

#include "services/device.h"
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/log.h"
#include "services/picture_file.h"
#include "services/safe_release.h"
#include "ui/button.h"
#include "ui/font.h"
#include "input/input.h"
#include "scene/scene.h"

LPDIRECT3DTEXTURE9 g_pBackgroundTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pRedTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pYellowTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pGreenTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pBlueTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pVioletTexture = nullptr;
CMeshContainer* g_pBoardMesh = nullptr;
CMeshContainer* g_pPegMesh = nullptr;
CButton g_ColourButtons[kColourCount];
CButton g_ExactLabel;
CButton g_ColourLabel;
CButton g_HelpButtons[2];
CButton g_SolutionPanel;
CButton g_NewGameButton;
CButton g_GameExitButton;

namespace {

// The files named one by one have constant paths; the tables' pictures join their folders at run time
// (JoinPathInto below), and a path that would not fit fails as that picture's missing file does.
constexpr auto kBackgroundPath = JoinPath(game_folders::kPictures, asset_files::kBackground);
constexpr auto kBoardMeshPath = JoinPath(game_folders::kData, asset_files::kBoardMesh);
constexpr auto kPegMeshPath = JoinPath(game_folders::kData, asset_files::kPegMesh);

struct PegTextureEntry {
    LPDIRECT3DTEXTURE9* texture;
    const char* file;
    const char* failure;
};

// Indexed by colour: red, yellow, green, blue, violet.
const PegTextureEntry kPegTextures[kColourCount] = {
    {&g_pRedTexture, asset_files::kPegTextures[0], "Impossibile caricare la texture rossa \n"},
    {&g_pYellowTexture, asset_files::kPegTextures[1], "Impossibile caricare la texture gialla \n"},
    {&g_pGreenTexture, asset_files::kPegTextures[2], "Impossibile caricare la texture verde \n"},
    {&g_pBlueTexture, asset_files::kPegTextures[3], "Impossibile caricare la texture blu \n"},
    {&g_pVioletTexture, asset_files::kPegTextures[4], "Impossibile caricare la texture viola \n"},
};
// Loaded and released in this order: red, green, yellow, blue, violet.
constexpr int kPegTextureOrder[kColourCount] = {0, 2, 1, 3, 4};

struct ButtonLayout {
    CButton* button;
    const layout::ButtonPlace& place;
    const char* picture; // in the GUI folder
};

const ButtonLayout kButtons[] = {
    {&g_ColourButtons[0], layout::kColourButtons[0], asset_files::kColourButtons[0]},
    {&g_ColourButtons[1], layout::kColourButtons[1], asset_files::kColourButtons[1]},
    {&g_ColourButtons[2], layout::kColourButtons[2], asset_files::kColourButtons[2]},
    {&g_ColourButtons[3], layout::kColourButtons[3], asset_files::kColourButtons[3]},
    {&g_ColourButtons[4], layout::kColourButtons[4], asset_files::kColourButtons[4]},
    {&g_ExactLabel, layout::kExactLabel, asset_files::kExactLabel},
    {&g_ColourLabel, layout::kColourLabel, asset_files::kColourLabel},
    {&g_HelpButtons[0], layout::kHelpButton, asset_files::kHelpButton},
    {&g_HelpButtons[1], layout::kInstructions, asset_files::kInstructions},
    {&g_SolutionPanel, layout::kSolutionPanel, asset_files::kSolutionPanel},
    {&g_NewGameButton, layout::kNewGameButton, asset_files::kNewGameButton},
    {&g_GameExitButton, layout::kGameExitButton, asset_files::kGameExitButton},
};

// Every picture that fails shows its own box; the debugger gets the same line for all of them.
HRESULT Fail(HWND hWnd, const char* message) {
    return SetUpFailure(hWnd, message, "Impossibile caricare la texture");
}

void SetUpButton(const ButtonLayout& entry) {
    CButton& button = *entry.button;
    button.Init(static_cast<float>(layout::PlaceX(entry.place, g_ScreenWidth)),
                layout::PlaceY(entry.place, g_ScreenHeight));
    char path[MAX_PATH];
    if (JoinPathInto(path, game_folders::kGui.data(), entry.picture)) {
        button.LoadImages(path);
    } else {
        ErrorOut("Impossibile caricare la texture"); // the button is left without pictures
    }
    button.scaleX = entry.place.scaleX;
    button.scaleY = entry.place.scaleY;
}

void DestroyMesh(CMeshContainer*& mesh) {
    delete mesh;
    mesh = nullptr;
}

} // namespace

LPDIRECT3DTEXTURE9 PegTexture(int colour) {
    if (colour < 0 || colour >= kColourCount) {
        return nullptr;
    }
    return *kPegTextures[colour].texture;
}

HRESULT LoadScene(HWND hWnd) {
    if (FAILED(CheckedCreateTextureFromFile(g_pd3dDevice, kBackgroundPath.data(), &g_pBackgroundTexture))) {
        return Fail(hWnd, "Impossibile caricare la texture di sfondo \n");
    }

    D3DXMatrixScaling(&g_SpriteMatrix, layout::kBackgroundScaleX, layout::kBackgroundScaleY, 1.0f);
    g_pSprite->SetTransform(&g_SpriteMatrix);
    g_pSprite->Flush();

    DrawSecretCode();

    const char* const data = game_folders::kData.data();
    LoadMeshFromX(&g_pBoardMesh, g_pd3dDevice, kBoardMeshPath.data(), data, 0, D3DXMESH_SYSTEMMEM);
    g_BoardFrame.AddMeshContainer(g_pBoardMesh);
    LoadMeshFromX(&g_pPegMesh, g_pd3dDevice, kPegMeshPath.data(), data, 0, D3DXMESH_SYSTEMMEM);
    if (g_pPegMesh) {
        for (CFrame& peg : g_Pegs) {
            peg.AddMeshContainer(g_pPegMesh);
        }
    }

    for (int colour : kPegTextureOrder) {
        const PegTextureEntry& entry = kPegTextures[colour];
        char path[MAX_PATH];
        if (!JoinPathInto(path, data, entry.file) ||
            FAILED(CheckedCreateTextureFromFile(g_pd3dDevice, path, entry.texture))) {
            return Fail(hWnd, entry.failure);
        }
    }

    for (const ButtonLayout& entry : kButtons) {
        SetUpButton(entry);
    }
    g_ExactHits = 0;
    g_ColourHits = 0;
    g_Camera.SetPosition(layout::kCameraEye[0], layout::kCameraEye[1], layout::kCameraEye[2]);
    return 1;
}

void ReleaseScene() {
    SafeRelease(g_pSprite);
    for (int colour : kPegTextureOrder) {
        SafeRelease(*kPegTextures[colour].texture);
    }
    for (const ButtonLayout& entry : kButtons) {
        entry.button->Release();
    }
    DestroyMesh(g_pBoardMesh);
    DestroyMesh(g_pPegMesh);
    SafeRelease(g_pFont); // cleared too, so that a second release cannot free it twice
    SafeRelease(g_pDirectInput);
    g_Camera.Reset();
    SafeRelease(g_pBackgroundTexture);
}
