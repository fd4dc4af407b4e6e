// The code-breaking game and its play screen. What other subsystems may use of it.
#pragma once

#include "game/layout.h"

#include <windows.h>
#include <d3dx9.h>

class CButton;
class CFrame;
class CMeshContainer;

// ---- Rules and state ----
constexpr int kCodeLength = layout::kSlots; // positions in the secret and pegs in a row
constexpr int kColourCount = 5;             // red, yellow, green, blue, violet
constexpr int kRowCount = layout::kRows;
constexpr int kMaxPegs = kCodeLength * kRowCount; // 95: the loss
constexpr DWORD kClickInterval = 200;             // ms a click must follow the last one by, strictly
constexpr int kPegCount = 100;                    // peg frames: more than a game can place

extern int g_SecretCode[kCodeLength];
extern int g_PegCount;
extern int g_ExactHits;
extern int g_ColourHits;
extern BYTE g_bWon;
extern BYTE g_bLost;
extern BYTE g_bOverlay; // the instructions picture is shown
extern float g_RowZ;
extern char g_StatusText[256];
extern DWORD g_FrameStartTime;
// The board, whose position the camera aims at, and the peg frames sharing the peg mesh.
extern CFrame g_BoardFrame;
extern CFrame g_Pegs[kPegCount];

void GameFrame();
// Picks the secret code at random (rand and the clock) into g_SecretCode; it draws nothing.
void DrawSecretCode();
void ScoreRow();
void StartNewGame();
// True when the button's flags are both set and more than 200 ms have passed since its last click.
bool IsClicked(const CButton& button, DWORD now);
// The colour's word in the solution.
const char* ColourSolutionWord(int colour);
// Depth of the row being filled once `count` pegs are placed, for count 5, 10, ..., 90; false otherwise.
bool RowDepthFor(int count, float* z);
float SlotX(int slot);

// ---- Play screen ----
extern LPDIRECT3DTEXTURE9 g_pBackgroundTexture;
extern LPDIRECT3DTEXTURE9 g_pRedTexture;
extern LPDIRECT3DTEXTURE9 g_pYellowTexture;
extern LPDIRECT3DTEXTURE9 g_pGreenTexture;
extern LPDIRECT3DTEXTURE9 g_pBlueTexture;
extern LPDIRECT3DTEXTURE9 g_pVioletTexture;
extern CMeshContainer* g_pBoardMesh;
extern CMeshContainer* g_pPegMesh;
extern CButton g_ColourButtons[kColourCount];
extern CButton g_ExactLabel;
extern CButton g_ColourLabel;
// [0] the help button; [1] is no button but the instructions picture, drawn while g_bOverlay is set.
extern CButton g_HelpButtons[2];
extern CButton g_SolutionPanel;
extern CButton g_NewGameButton;
extern CButton g_GameExitButton;

HRESULT LoadScene(HWND hWnd);
void ReleaseScene();
// The peg texture of a colour index; null for an index out of range or a texture not loaded.
LPDIRECT3DTEXTURE9 PegTexture(int colour);

// ---- Play screen drawing ----
extern char g_TextBuf[256];
extern D3DXVECTOR3 g_CameraTarget;

void GameRender();
void AimCamera(D3DXVECTOR3 target);
