// The rules of one game: the secret, colour clicks placing pegs row by row, row scoring, win, loss
// and a new game. They read only button flags, peg fields, the clock and the C runtime's rand.
#include "game/game.h"

#include "services/clock.h"
#include "ui/button.h"
#include "input/input.h"
#include "scene/scene.h"

#include <cstdlib>
#include <cstring>

int g_SecretCode[kCodeLength];
int g_PegCount = 0;
int g_ExactHits = 0;
int g_ColourHits = 0;
BYTE g_bWon = 0;
BYTE g_bLost = 0;
BYTE g_bOverlay = 0;
float g_RowZ = 0.0f;
char g_StatusText[256];
DWORD g_FrameStartTime = 0;

namespace {

struct ColourWords {
    const char* statusLine;
    const char* solutionWord;
};

constexpr ColourWords kColourWords[kColourCount] = {
    {"Hai schiacciato il ROSSO", " ROSSO "}, {"Hai schiacciato il GIALLO", " GIALLO "},
    {"Hai schiacciato il VERDE", " VERDE "}, {"Hai schiacciato il BLU", " BLU "},
    {"Hai schiacciato il VIOLA", " VIOLA "},
};

constexpr float kOutOfView = 100.0f;         // z behind the camera
constexpr float kRandScale = 3.0518509e-05f; // nearest float to 1/32767

void HideAllPegs(bool clearVisible) {
    for (CFrame& peg : g_Pegs) {
        if (clearVisible) {
            peg.visible = false;
        }
        peg.position = D3DXVECTOR3(0.0f, 0.0f, kOutOfView);
    }
}

// When the mouse behind the colour and help buttons' flags was read: at the start of the previous
// frame, whose drawing set them.
DWORD s_flagsReadAt = 0;

// The click rule for flags drawn in the previous frame. Flags read within 200 ms of the button's
// last accepted click repeat it only while the press still holds on that button: a short click seen
// by several drawings would otherwise count again whenever a frame after it stalls past the 200 ms,
// with no press or with a press on another button.
bool IsNewClick(const CButton& button, DWORD now) {
    if (!IsClicked(button, now)) {
        return false;
    }
    return s_flagsReadAt - button.lastClickTime > kClickInterval || button.IsPressedNow();
}

// The board's part of a frame while the game is on (not won, lost or under the help): at most one peg
// placed, the next peg laid out, a complete row scored, the loss after the 19th row.
void PlayFrame(DWORD now) {
    for (int c = 0; c < kColourCount; ++c) {
        CButton& button = g_ColourButtons[c];
        if (IsNewClick(button, now)) {
            strcpy(g_StatusText, kColourWords[c].statusLine);
            button.lastClickTime = now;
            g_Pegs[g_PegCount].colourIndex = c;
            g_Pegs[g_PegCount].visible = true;
            ++g_PegCount;
            break;
        }
    }

    const int n = g_PegCount;
    RowDepthFor(n, &g_RowZ);
    g_Pegs[n].position = D3DXVECTOR3(layout::kSlotX[n % kCodeLength], 0.0f, g_RowZ);
    if (n > 0 && n % kCodeLength == 0) {
        ScoreRow();
    }
    if (n == kMaxPegs) {
        HideAllPegs(false);
        g_RowZ = 0.0f;
        g_bLost = 1;
    }
}

} // namespace

bool IsClicked(const CButton& button, DWORD now) {
    return button.isOver && button.isPressed && now - button.lastClickTime > kClickInterval;
}

const char* ColourSolutionWord(int colour) {
    return kColourWords[colour].solutionWord;
}

bool RowDepthFor(int count, float* z) {
    if (count <= 0 || count % kCodeLength != 0 || count / kCodeLength > kRowCount - 1) {
        return false;
    }
    *z = layout::kRowZ[count / kCodeLength];
    return true;
}

float SlotX(int slot) {
    return layout::kSlotX[slot];
}

void DrawSecretCode() {
    for (int i = 0; i < kCodeLength; ++i) {
        const int k = rand();
        const float r = static_cast<float>(k) * kRandScale;
        const DWORD t = CurrentTime();
        // Formed in double: in single precision a clock past 2^26 ms (18.6 hours of uptime) swamps
        // 5 * r and the five positions collapse to one or two colours.
        const double v = static_cast<double>(t) + 5.0 * static_cast<double>(r);
        const DWORD whole = static_cast<DWORD>(static_cast<unsigned long long>(v));
        g_SecretCode[i] = static_cast<int>(whole % kColourCount);
    }
}

void ScoreRow() {
    const int first = g_PegCount - kCodeLength;
    int rowCount[kColourCount] = {};
    int secretCount[kColourCount] = {};
    int exact = 0;
    for (int i = 0; i < kCodeLength; ++i) {
        const int c = g_Pegs[first + i].colourIndex;
        ++rowCount[c];
        if (c == g_SecretCode[i]) {
            ++exact;
            --rowCount[c];
        }
        ++secretCount[g_SecretCode[i]];
    }
    g_ExactHits = exact;
    if (exact == kCodeLength) {
        g_bWon = 1;
    }
    // Colours, not pegs: each colour both misplaced in the row and present in the secret counts once.
    int colours = 0;
    for (int c = 0; c < kColourCount; ++c) {
        colours += (rowCount[c] > 0 && secretCount[c] > 0) ? 1 : 0;
    }
    g_ColourHits = colours;
}

void StartNewGame() {
    HideAllPegs(true);
    g_RowZ = 0.0f;
    g_PegCount = 0;
    g_bLost = 0;
    g_bWon = 0;
    g_ExactHits = 0;
    g_ColourHits = 0;
    DrawSecretCode();
}

void GameFrame() {
    g_Mouse.Poll();
    g_Mouse.UpdatePosition();

    const DWORD now = CurrentTime();
    g_FrameStartTime = now;
    g_ExactHits = 0;
    g_ColourHits = 0;

    if (IsNewClick(g_HelpButtons[0], now)) {
        g_HelpButtons[0].lastClickTime = now;
        g_bOverlay = !g_bOverlay;
    }
    if (!g_bWon && !g_bLost && !g_bOverlay) {
        PlayFrame(now);
    }
    s_flagsReadAt = now; // the mouse this frame's drawing tests was read just before `now`

    const DWORD now2 = CurrentTime();
    g_FrameStartTime = now2;
    GameRender();

    if (!g_bWon && !g_bLost) {
        return;
    }
    if (IsClicked(g_NewGameButton, now2)) {
        g_NewGameButton.lastClickTime = now2;
        StartNewGame();
    }
    if (IsClicked(g_GameExitButton, now2)) {
        g_GameExitButton.lastClickTime = now2;
        exit(0);
    }
}
