// The play screen's set-up and release: background, sprite scaling, the first secret, the board and
// peg meshes, the peg textures, the twelve picture buttons and the camera's place.
#include "game/game.h"

#include "services/services.h"
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

const char kDataFolder[] = "..\\Data\\";

struct PegTextureEntry {
    LPDIRECT3DTEXTURE9* texture;
    const char* file;
    const char* failure;
};

// Loaded in this order (red, green, yellow, blue, violet); the index is the colour index.
const PegTextureEntry kPegTextures[kColourCount] = {
    {&g_pRedTexture, "..\\Data\\Red.png", "Impossibile caricare la texture rossa \n"},
    {&g_pYellowTexture, "..\\Data\\Giallo.png", "Impossibile caricare la texture gialla \n"},
    {&g_pGreenTexture, "..\\Data\\Green.png", "Impossibile caricare la texture verde \n"},
    {&g_pBlueTexture, "..\\Data\\Blue.png", "Impossibile caricare la texture blu \n"},
    {&g_pVioletTexture, "..\\Data\\Viola.png", "Impossibile caricare la texture viola \n"},
};
constexpr int kPegTextureOrder[kColourCount] = {0, 2, 1, 3, 4};

struct ButtonLayout {
    CButton* button;
    const layout::ButtonPlace& place;
    const char* picture;
};

const ButtonLayout kButtons[] = {
    {&g_ColourButtons[0], layout::kColourButtons[0], "..\\Immagini\\GUI\\red_butt.jpg"},
    {&g_ColourButtons[1], layout::kColourButtons[1], "..\\Immagini\\GUI\\giallo_butt.jpg"},
    {&g_ColourButtons[2], layout::kColourButtons[2], "..\\Immagini\\GUI\\verde_butt.jpg"},
    {&g_ColourButtons[3], layout::kColourButtons[3], "..\\Immagini\\GUI\\blue_butt.jpg"},
    {&g_ColourButtons[4], layout::kColourButtons[4], "..\\Immagini\\GUI\\viola_butt.jpg"},
    {&g_ExactLabel, layout::kExactLabel, "..\\Immagini\\GUI\\button_esatti.jpg"},
    {&g_ColourLabel, layout::kColourLabel, "..\\Immagini\\GUI\\button_colore.jpg"},
    {&g_HelpButtons[0], layout::kHelpButton, "..\\Immagini\\GUI\\HELP.jpg"},
    {&g_HelpButtons[1], layout::kInstructions, "..\\Immagini\\GUI\\ISTRUZIONI.png"},
    {&g_SolutionPanel, layout::kSolutionPanel, "..\\Immagini\\GUI\\SOLUZIONE.jpg"},
    {&g_NewGameButton, layout::kNewGameButton, "..\\Immagini\\GUI\\restart_butt.png"},
    {&g_GameExitButton, layout::kGameExitButton, "..\\Immagini\\GUI\\exit_butt.png"},
};

// Every picture that fails shows its own box; the debugger gets the same line for all of them.
HRESULT Fail(HWND hWnd, const char* message) {
    return SetUpFailure(hWnd, message, "Impossibile caricare la texture");
}

void SetUpButton(const ButtonLayout& entry) {
    CButton& button = *entry.button;
    button.Init(static_cast<float>(layout::PlaceX(entry.place, g_ScreenWidth)),
                layout::PlaceY(entry.place, g_ScreenHeight));
    button.LoadImages(entry.picture);
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
    if (FAILED(D3DXCreateTextureFromFileA(g_pd3dDevice, "..\\Immagini\\quorvantis_back.png",
                                          &g_pBackgroundTexture))) {
        return Fail(hWnd, "Impossibile caricare la texture di sfondo \n");
    }

    D3DXMatrixScaling(&g_SpriteMatrix, 1.0f, 0.75f, 1.0f);
    g_pSprite->SetTransform(&g_SpriteMatrix);
    g_pSprite->Flush();

    DrawSecretCode();

    LoadMeshFromX(&g_pBoardMesh, g_pd3dDevice, "..\\Data\\quorvantis.x", kDataFolder, 0, D3DXMESH_SYSTEMMEM);
    g_BoardFrame.AddMeshContainer(g_pBoardMesh);
    LoadMeshFromX(&g_pPegMesh, g_pd3dDevice, "..\\Data\\pedino.x", kDataFolder, 0, D3DXMESH_SYSTEMMEM);
    if (g_pPegMesh) {
        for (CFrame& peg : g_Pegs) {
            peg.AddMeshContainer(g_pPegMesh);
        }
    }

    for (int colour : kPegTextureOrder) {
        const PegTextureEntry& entry = kPegTextures[colour];
        if (FAILED(D3DXCreateTextureFromFileA(g_pd3dDevice, entry.file, entry.texture))) {
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
