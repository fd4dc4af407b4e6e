// The program's shell on top of every other layer: the entry's window class, the window procedure, the
// stage machine (logo, title, loading, game), the title screen and the shut-down. The hooks that tests
// call one step at a time are in shell/stage_hooks.h.
#pragma once

#include <windows.h>
#include <d3d9.h>

extern const char g_szClassName[];
extern const char g_szTitle[];
extern LPDIRECT3DTEXTURE9 g_pLogoTexture;
extern LPDIRECT3DTEXTURE9 g_pLoadingTexture;
extern LPDIRECT3DTEXTURE9 g_pTitleTexture;
extern int g_ScreenshotCount;

// ---- Stage machine ----
extern BYTE g_bShowLogo;
extern DWORD g_LoadStage; // not a stage number: whole seconds the current splash stage has been shown
extern BOOL g_bSplashTimerStarted;
extern DWORD g_SplashStartTime;
extern BOOL g_bStageInitDone;
extern BYTE g_bStartPressed;
extern BOOL g_bLoadingStarted;
extern BOOL g_bSplashReleased;

// Registers the window class (icon IDI_QUORVANTIS, shell/main/resource.h) and makes the game's window,
// shown; null when either fails.
HWND CreateGameWindow(HINSTANCE hInstance);
LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
HRESULT InitGraphics(HWND hWnd);
void ReleaseSplash();
// One pass of the stage machine: what the message loop runs when no message is waiting.
void StageIdlePass();
// The shut-down after WM_QUIT: every step releases only what exists.
void ShutDown(HINSTANCE hInstance);

// ---- Title screen ----
class CButton;
extern CButton g_StartButton;
extern CButton g_TitleExitButton;
HRESULT InitTitleStage(HWND hWnd);
void TitleRender();
void TitleFrame();
void ReleaseTitleStage();
