// The 2D interface: picture buttons, the slider, the text fonts and the console. What other
// subsystems may use of it.
#pragma once

#include <windows.h>
#include <d3dx9.h>

// ---- Picture buttons ----

// A picture drawn by its own sprite at (x * scaleX, y * scaleY), with a hit test against the mouse
// cursor. No constructor: the screens' buttons are zero-filled globals.
class CButton {
public:
    void LoadOverImage(const char* file);
    void LoadUpImage(const char* file);
    void LoadDownImage(const char* file);
    void LoadImages(const char* file);
    CButton* AllocSubButtons(unsigned count); // null when the allocation fails
    void Init(float xPos, float yPos);
    void InitWithFont(float xPos, float yPos, const char* face);
    void Release();
    void UpdateState();
    void Render();
    void RenderWithText(const char* text);

    float x, y;
    float scaleX, scaleY;
    bool isOver;
    bool isPressed;
    DWORD lastClickTime; // written and read only by the screens
    LPD3DXFONT pFont;
    int fontPoints;
    LPDIRECT3DTEXTURE9 pOverTexture;
    LPD3DXSPRITE pSprite;
    D3DSURFACE_DESC overDesc; // Width and Height size the hit box
    LPDIRECT3DTEXTURE9 pUpTexture;
    LPDIRECT3DTEXTURE9 pDownTexture;
    CButton* pSubButtons;
};

// Loads a sprite picture whose opaque black is transparent; a failure is reported on the debugger
// and leaves *texture null.
void LoadSpriteTexture(const char* file, LPDIRECT3DTEXTURE9* texture);
// Makes a control's own sprite in place of an earlier one; a failure is reported on the debugger.
void CreateSprite(LPD3DXSPRITE* sprite);

// ---- Slider ----

// The slider's pictures; nothing passes them to Init yet.
extern const char g_szSliderTrack[];
extern const char g_szSliderKnob[];

// A track picture with a knob button that the mouse drags to set `value` between 0 and `maxValue`.
// The bounds of its box are all scaled, unlike a button's. Zero-filled until Init.
class CSlider {
public:
    void Init(float xPos, float yPos, const char* trackFile, const char* knobFile, float initial, float max);
    void Update(); // the hover and drag test; while dragged sets value and moves the knob
    void Render(); // Update, then the track and the knob, inside the caller's scene
    // The knob's over picture and font and the track picture; the sprites and the knob's other
    // pictures stay with their owner, as for a button.
    void Release();

    float x = 0.0f, y = 0.0f;
    float initialValue = 0.0f;
    float maxValue = 0.0f;
    float scaleX = 0.0f, scaleY = 0.0f;
    float value = 0.0f;
    bool isOver = false;
    bool isPressed = false;
    LPDIRECT3DTEXTURE9 pTrackTexture = nullptr;
    LPD3DXSPRITE pSprite = nullptr;
    D3DSURFACE_DESC trackDesc = {}; // Width and Height size the box; 0 without a picture
    CButton knob = {};
};

// ---- The screen's text font ----
extern LPD3DXFONT g_pFont;
extern int g_FontHeight; // 18 pixels
extern HRESULT g_hr;

HRESULT InitFont(const char* face);
void DrawFontText(int x, int y, const char* text, D3DXCOLOR colour);
// A colour as the font draws it: each channel clamped to 0..1 and rounded to a byte, packed ARGB.
D3DCOLOR FontColour(const D3DXCOLOR& colour);

// ---- Alphabet bitmap font ----
// Glyphs are cells of one bitmap, cell k holding code 32 + k, copied by the CPU into pixel memory
// that the caller has locked (pixel (x, y) is element y * (pitch / 4) + x). Codes without a cell
// draw nothing; the destination is not clipped.
extern int g_AlphabetWidth;
extern int g_AlphabetHeight;
extern int g_AlphabetCellWidth;  // also the advance from one character to the next
extern int g_AlphabetCellHeight; // also the console's line height
extern int g_AlphabetCellsPerRow;
extern IDirect3DSurface9* g_pAlphabetSurface;
extern int g_bAlphabetLoaded;

// A second call releases the first alphabet. On a failed load the surface may stay for
// ReleaseAlphabet to release, with the loaded flag 0.
HRESULT InitAlphabet(const char* path, int cellWidth, int cellHeight);
HRESULT ReleaseAlphabet();
void PrintChar(int x, int y, char character, int useKey, DWORD key, DWORD* pixels, int pitch);
void PrintString(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch);
// PrintString into memory of `rows` rows of pitch / 4 pixels: what falls outside it is left out,
// so a text may stand partly above, below or beside the memory.
void PrintStringClipped(int x, int y, const char* text, int useKey, DWORD key, DWORD* pixels, int pitch,
                        int rows);

// ---- Drop-down console ----

constexpr int kConsoleLineSize = 256; // 255 characters and the terminating zero

// One line of the console, a node of a list from the newest line to the oldest.
class CConsoleLine {
public:
    CConsoleLine();
    ~CConsoleLine();
    CConsoleLine(const CConsoleLine&) = delete;
    CConsoleLine& operator=(const CConsoleLine&) = delete;

    CConsoleLine* GetNext() const { return pNext; }
    void SetNext(CConsoleLine* next) { pNext = next; }
    int GetY() const { return y; }
    void SetY(int row) { y = row; }
    // Copies min(size, 256) raw bytes of the buffer, zeros after the text included.
    HRESULT GetText(char* buffer, int size) const;
    HRESULT SetText(const char* line); // a longer text is cut at 255 characters
    // The text at (10, y) with black transparent, into memory of `rows` rows: characters past the end
    // of a row are left out, and the pixel rows that fall above or below the memory.
    HRESULT Draw(DWORD* pixels, int pitch, int rows) const;
    // 8 removes the last character; any other is appended while the line has room.
    HRESULT AddChar(char character);

    char* text; // null only when its allocation failed
    CConsoleLine* pNext;
    int y;
};

// A parsed command line: the lower-case command word and up to 25 arguments, each in its own
// allocation, freed with the record.
class CConsoleCommand {
public:
    static constexpr int kMaxArgs = 25;

    CConsoleCommand();
    ~CConsoleCommand();
    CConsoleCommand(const CConsoleCommand&) = delete;
    CConsoleCommand& operator=(const CConsoleCommand&) = delete;

    char* name;
    int argc;
    char* argv[kMaxArgs];
};

// Negative for a command the application does not know.
using ConsoleCommandHandler = int (*)(CConsoleCommand* command);

extern char g_ConsolePrevChar;   // the last character OnChar accepted or reset, for folding spaces
extern int g_ConsoleSlideOffset; // pixels of the console still above the screen's top
extern const char g_szConsoleBackground[];

// The console's slide states.
constexpr int kConsoleClosing = 0;
constexpr int kConsoleOpening = 1;
constexpr int kConsoleStill = 2;

// A text console that slides down over the top half of the screen. It is composed by the CPU in a
// system-memory surface and copied onto the back buffer after the frame's own drawing.
class CConsole {
public:
    CConsole();
    CConsole(const CConsole&) = delete;
    CConsole& operator=(const CConsole&) = delete;

    // Needs a loaded alphabet and a back buffer at least four lines high (the console is half of it).
    // E_FAIL also for lines so short that the topmost drawn one would start above the console.
    HRESULT Init(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer);
    // Gives back everything Init took; the handler, visibility and slide are kept.
    void Release();
    void Destroy(); // the end of the console's life: what Release does
    int IsVisible() const { return visible; }
    void Show(int open);
    void SetCommandHandler(ConsoleCommandHandler handler);
    int OnChar(char character); // a typed character, as a character message gives it
    int HandleKey(int key);     // a virtual-key code: Enter, Left and F11
    void ParseCommand(char* line, CConsoleCommand* command) const;
    void NewLine();
    void PrintLine(const char* line);
    void Clear();
    void Render();

    int initialised;
    int width;
    int height;
    IDirect3DSurface9* pWorkSurface;
    IDirect3DSurface9* pBackground;
    IDirect3DSurface9* pBackBuffer;
    IDirect3DDevice9* pd3dDevice;
    int visible;
    int slideState; // kConsoleClosing, kConsoleOpening or kConsoleStill
    CConsoleLine* pEditLine;
    CConsoleLine* pHead;
    ConsoleCommandHandler pfnCommand;
    int commandHandlerSet;

private:
    int LineCount() const;
};
