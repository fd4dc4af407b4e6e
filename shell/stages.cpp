// The graphics start-up and the stage machine run in the idle passes of the message loop:
// logo, title, loading, game. The title, scene and game screens are called by name.
#include "shell/shell.h"
#include "shell/asset_files.h"
#include "shell/stage_hooks.h"
#include "shell/title_layout.h"

#include "game/game.h"
#include "services/clock.h"
#include "services/device.h"
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/log.h"
#include "services/picture_file.h"
#include "services/safe_release.h"

const char g_szClassName[] = "Quorvantis 3D - by VARNOX";
const char g_szTitle[] = "Quorvantis 3D - by VARNOX";
LPDIRECT3DTEXTURE9 g_pLogoTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pLoadingTexture = nullptr;
LPDIRECT3DTEXTURE9 g_pTitleTexture = nullptr;
int g_ScreenshotCount = 0;

BYTE g_bShowLogo = 1;
DWORD g_LoadStage = 0;
BOOL g_bSplashTimerStarted = 0;
DWORD g_SplashStartTime = 0;
BOOL g_bStageInitDone = 0;
BYTE g_bStartPressed = 0;
BOOL g_bLoadingStarted = 0;
BOOL g_bSplashReleased = 0;

namespace {

constexpr DWORD kLogoSeconds = 2;
constexpr DWORD kLoadingSeconds = 5;

constexpr auto kLogoPath = JoinPath(game_folders::kPictures, asset_files::kLogo);
constexpr auto kLoadingPath = JoinPath(game_folders::kPictures, asset_files::kLoading);
constexpr auto kTitlePath = JoinPath(game_folders::kPictures, asset_files::kTitle);

struct SplashPicture {
    const char* path;
    LPDIRECT3DTEXTURE9* texture;
};

const SplashPicture kSplashPictures[] = {
    {kLogoPath.data(), &g_pLogoTexture},
    {kLoadingPath.data(), &g_pLoadingTexture},
    {kTitlePath.data(), &g_pTitleTexture},
};

// One splash frame, then the whole seconds since the stage's timer started; the stage's one-time
// set-up runs on the first frame that finds more than one second.
void StageStep(HRESULT (*setUp)(HWND)) {
    SplashRender();
    const DWORD elapsed = CurrentTime() - g_SplashStartTime;
    g_LoadStage = elapsed / 1000; // whole seconds; a float product drifts for long stages
    if (!g_bStageInitDone && g_LoadStage > 1) {
        setUp(g_hWnd);
        g_bStageInitDone = 1;
    }
}

} // namespace

HRESULT InitGraphics(HWND hWnd) {
    InitD3D(&g_pD3D, &g_pd3dDevice, hWnd, 0, 0);

    for (const SplashPicture& picture : kSplashPictures) {
        if (FAILED(CheckedCreateTextureFromFile(g_pd3dDevice, picture.path, picture.texture))) {
            return SetUpFailure(hWnd, "Impossibile caricare la texture \n",
                                "Impossibile caricare la texture");
        }
    }

    if (FAILED(D3DXCreateSprite(g_pd3dDevice, &g_pSprite))) {
        return SetUpFailure(hWnd, "Impossibile inizializzare la Sprite \n",
                            "Impossibile inizializzare la Sprite");
    }

    D3DXMatrixScaling(&g_SpriteMatrix, layout::kSplashScaleX, layout::kSplashScaleY, 1.0f);
    g_pSprite->SetTransform(&g_SpriteMatrix);
    return 1;
}

void SplashRender() {
    if (!g_bSplashTimerStarted) {
        g_SplashStartTime = CurrentTime();
        g_bSplashTimerStarted = 1;
    }
    g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    g_pd3dDevice->BeginScene();
    g_pSprite->Begin(D3DXSPRITE_ALPHABLEND);
    g_pSprite->Draw(g_bShowLogo ? g_pLogoTexture : g_pLoadingTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_pSprite->End();
    g_pd3dDevice->EndScene();
    g_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void LogoStep() {
    StageStep(InitTitleStage);
}

void LoadingStep() {
    StageStep(LoadScene);
}

void ReleaseSplash() {
    SafeRelease(g_pLoadingTexture);
    SafeRelease(g_pLogoTexture);
}

void StageIdlePass() {
    if (g_LoadStage < kLogoSeconds && g_bShowLogo) {
        LogoStep();
        return;
    }
    g_bShowLogo = 0;

    // The title screen takes no messages until Start is chosen.
    while (!g_bStartPressed) {
        TitleFrame();
    }

    if (!g_bLoadingStarted) {
        g_LoadStage = 0;
        g_bSplashReleased = 0;
        g_bStageInitDone = 0;
        g_bSplashTimerStarted = 0;
        g_bLoadingStarted = 1;
        LoadingStep();
        return;
    }
    if (g_LoadStage < kLoadingSeconds) {
        LoadingStep();
        return;
    }
    if (!g_bSplashReleased) {
        g_bSplashReleased = 1;
        ReleaseSplash();
    }
    GameFrame();
}
