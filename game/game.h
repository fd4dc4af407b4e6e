// The code-breaking game and its play screen. What other subsystems may use of it.
#pragma once

#include <windows.h>

extern BYTE g_bOverlay; // the help picture is shown

HRESULT LoadScene(HWND hWnd);
void ReleaseScene();
void GameFrame();
