// The play screen's set-up and release: background, sprite scaling, the first secret, the board and
// peg meshes, the peg textures, the twelve picture buttons and the camera's place.
#include "game/game.h"

#include "app/app.h"
#include "input/input.h"
#include "scene/scene.h"
#include "ui/ui.h"

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
    int xPercent;     // x = width * xPercent / 100
    int yPercent;     // y = height * yPercent / 100, unless yFactor is set
    float yFactor;    // y = height * yFactor, as a float
    const char* picture;
    float scaleX, scaleY;
};

const ButtonLayout kButtons[] = {
    {&g_ColourButtons[0], 2, 10, 0.0f, "..\\Immagini\\GUI\\red_butt.jpg", 0.5f, 0.7f},
    {&g_ColourButtons[1], 2, 30, 0.0f, "..\\Immagini\\GUI\\giallo_butt.jpg", 0.5f, 0.7f},
    {&g_ColourButtons[2], 2, 50, 0.0f, "..\\Immagini\\GUI\\verde_butt.jpg", 0.5f, 0.7f},
    {&g_ColourButtons[3], 2, 70, 0.0f, "..\\Immagini\\GUI\\blue_butt.jpg", 0.5f, 0.7f},
    {&g_ColourButtons[4], 2, 90, 0.0f, "..\\Immagini\\GUI\\viola_butt.jpg", 0.5f, 0.7f},
    {&g_ExactLabel, 150, 0, 0.0f, "..\\Immagini\\GUI\\button_esatti.jpg", 0.5f, 0.5f},
    {&g_ColourLabel, 150, 0, 0.292f, "..\\Immagini\\GUI\\button_colore.jpg", 0.5f, 0.5f},
    {&g_HelpButtons[0], 170, 120, 0.0f, "..\\Immagini\\GUI\\HELP.jpg", 0.5f, 0.7f},
    {&g_HelpButtons[1], 50, 30, 0.0f, "..\\Immagini\\GUI\\ISTRUZIONI.png", 0.5f, 0.7f},
    {&g_SolutionPanel, 50, 30, 0.0f, "..\\Immagini\\GUI\\SOLUZIONE.jpg", 0.5f, 0.7f},
    {&g_NewGameButton, 70, 80, 0.0f, "..\\Immagini\\GUI\\restart_butt.png", 0.5f, 0.7f},
    {&g_GameExitButton, 110, 80, 0.0f, "..\\Immagini\\GUI\\exit_butt.png", 0.5f, 0.7f},
};

// Every picture that fails shows its own box; the debugger gets the same line for all of them.
HRESULT Fail(HWND hWnd, const char* message) {
    return SetUpFailure(hWnd, message, "Impossibile caricare la texture");
}

void SetUpButton(const ButtonLayout& layout) {
    CButton& button = *layout.button;
    button.Init(static_cast<float>(g_ScreenWidth * layout.xPercent / 100),
                layout.yFactor != 0.0f ? static_cast<float>(g_ScreenHeight) * layout.yFactor
                                       : static_cast<float>(g_ScreenHeight * layout.yPercent / 100));
    button.LoadImages(layout.picture);
    button.scaleX = layout.scaleX;
    button.scaleY = layout.scaleY;
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

    for (const ButtonLayout& layout : kButtons) {
        SetUpButton(layout);
    }
    g_ExactHits = 0;
    g_ColourHits = 0;
    g_Camera.SetPosition(0.0f, 25.0f, 35.0f);
    return 1;
}

void ReleaseScene() {
    SafeRelease(g_pSprite);
    for (int colour : kPegTextureOrder) {
        SafeRelease(*kPegTextures[colour].texture);
    }
    for (const ButtonLayout& layout : kButtons) {
        layout.button->Release();
    }
    DestroyMesh(g_pBoardMesh);
    DestroyMesh(g_pPegMesh);
    SafeRelease(g_pFont); // cleared too, so that a second release cannot free it twice
    SafeRelease(g_pDirectInput);
    g_Camera.Reset();
    SafeRelease(g_pBackgroundTexture);
}
