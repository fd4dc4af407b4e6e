// The drop-down console: lines of alphabet text over a background, typed lines parsed for a command
// handler.
#pragma once

#include <windows.h>
#include <d3dx9.h>

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
extern const char* const g_szConsoleBackground;

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
