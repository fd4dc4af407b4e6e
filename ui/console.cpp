// The drop-down console: lines of alphabet text over a background picture, composed by the CPU in a
// system-memory surface and copied to the top of the back buffer, sliding down and up ten pixels a
// frame. Typed characters edit the newest line; Enter hands it, parsed, to the application.
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "services/surface.h"
#include "ui/alphabet.h"
#include "ui/asset_files.h"
#include "ui/console.h"

#include <cstring>
#include <new>

char g_ConsolePrevChar = 0;
int g_ConsoleSlideOffset = 0;
constexpr auto kBackgroundPath = JoinPath(game_folders::kPictures, asset_files::kConsoleBackground);
const char* const g_szConsoleBackground = kBackgroundPath.data();

namespace {

constexpr int kLineX = 10;
constexpr int kLineBottomMargin = 5; // between the edit line and the console's bottom edge
constexpr int kSlideStep = 10;
constexpr int kMaxLineLength = kConsoleLineSize - 1;
constexpr char kBackspace = 8;
constexpr char kTab = 9;
constexpr char kCarriageReturn = 13;
const char kDelimiters[] = " ,";
const char kUnknownCommand[] = "-- Unknown Command --";

bool g_SlideOffsetSet = false; // the offset starts at the first console's height

// A new empty line, or null when its node or its buffer cannot be allocated.
CConsoleLine* NewConsoleLine() {
    CConsoleLine* line = new (std::nothrow) CConsoleLine;
    if (line && !line->text) {
        delete line;
        line = nullptr;
    }
    return line;
}

// A word in an allocation of its own; null when there is no memory for it.
char* CopyWord(const char* word) {
    const size_t size = strlen(word) + 1;
    char* copy = new (std::nothrow) char[size];
    if (copy) {
        memcpy(copy, word, size);
    }
    return copy;
}

} // namespace

// ---- CConsoleLine ----

CConsoleLine::CConsoleLine() : text(new (std::nothrow) char[kConsoleLineSize]), pNext(nullptr), y(0) {
    if (text) {
        memset(text, 0, kConsoleLineSize);
    }
}

CConsoleLine::~CConsoleLine() {
    delete[] text;
    text = nullptr;
}

HRESULT CConsoleLine::GetText(char* buffer, int size) const {
    if (buffer && text && size > 0) {
        memcpy(buffer, text, size < kConsoleLineSize ? size : kConsoleLineSize);
    }
    return S_OK;
}

HRESULT CConsoleLine::SetText(const char* line) {
    if (text) {
        memset(text, 0, kConsoleLineSize);
        if (line) {
            strncpy(text, line, kMaxLineLength);
        }
    }
    return S_OK;
}

HRESULT CConsoleLine::Draw(DWORD* pixels, int pitch, int rows) const {
    if (!text || !pixels || g_AlphabetCellWidth <= 0) {
        return S_OK;
    }
    // A character past the end of the row would land on the rows below, or beyond the memory.
    const int room = (pitch / 4 - kLineX) / g_AlphabetCellWidth;
    if (room <= 0) {
        return S_OK;
    }
    char shown[kConsoleLineSize] = {};
    strncpy(shown, text, room < kMaxLineLength ? room : kMaxLineLength);
    // Rows outside the memory are left out: a line laid out for other cells may reach past either edge.
    PrintStringClipped(kLineX, y, shown, 1, 0, pixels, pitch, rows);
    return S_OK;
}

HRESULT CConsoleLine::AddChar(char character) {
    if (!text) {
        return S_OK;
    }
    const size_t length = strlen(text);
    if (character == kBackspace) {
        if (length > 0) {
            text[length - 1] = 0;
        }
    } else if (length < static_cast<size_t>(kMaxLineLength)) { // a full line refuses the character
        text[length] = character;
        text[length + 1] = 0;
    }
    return S_OK;
}

// ---- CConsoleCommand ----

CConsoleCommand::CConsoleCommand() : name(nullptr), argc(0), argv() {}

CConsoleCommand::~CConsoleCommand() {
    delete[] name;
    for (char* arg : argv) {
        delete[] arg;
    }
}

// ---- CConsole ----

CConsole::CConsole()
    : initialised(0), width(0), height(0), pWorkSurface(nullptr), pBackground(nullptr), pBackBuffer(nullptr),
      pd3dDevice(nullptr), visible(0), slideState(kConsoleStill), pEditLine(nullptr), pHead(nullptr),
      pfnCommand(nullptr), commandHandlerSet(0) {}

int CConsole::LineCount() const {
    return g_AlphabetCellHeight > 0 ? height / g_AlphabetCellHeight : 0;
}

HRESULT CConsole::Init(IDirect3DDevice9* device, IDirect3DSurface9* backBuffer) {
    if (!device || !backBuffer) {
        return E_FAIL;
    }
    D3DSURFACE_DESC desc;
    if (FAILED(backBuffer->GetDesc(&desc))) {
        return E_FAIL;
    }
    // The line height comes from the alphabet. A console needs at least its edit line and the oldest
    // line, which is never drawn, and its topmost drawn line must not start above the surface.
    const int h = g_AlphabetCellHeight;
    const int rows = static_cast<int>(desc.Height / 2);
    if (h <= 0 || rows / h < 2 || rows - h * (rows / h - 1) - kLineBottomMargin < 0) {
        return E_FAIL;
    }
    Release(); // what an earlier Init took
    pd3dDevice = device;
    pd3dDevice->AddRef();
    pBackBuffer = backBuffer;
    pBackBuffer->AddRef();
    width = static_cast<int>(desc.Width);
    height = static_cast<int>(desc.Height / 2);

    if (FAILED(pd3dDevice->CreateOffscreenPlainSurface(width, height, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                       &pWorkSurface, nullptr))) {
        ErrorOut("Unable to create image surface for console");
        Release();
        return E_FAIL;
    }
    if (FAILED(LoadBitmapSurface(g_szConsoleBackground, &pBackground, pd3dDevice))) {
        ErrorOut("Unable to load console background image");
        Release();
        return E_FAIL;
    }
    initialised = 1;

    // Newest first: line i lies h * (i + 1) + 5 above the bottom; the oldest stays at y 0.
    pHead = pEditLine = NewConsoleLine();
    CConsoleLine* previous = pHead;
    for (int i = 1; previous && i < LineCount(); ++i) {
        CConsoleLine* line = NewConsoleLine();
        previous->SetNext(line);
        previous->SetY(height - h * i - kLineBottomMargin);
        previous = line;
    }
    if (!previous) {
        Release();
        return E_FAIL;
    }
    return S_OK;
}

void CConsole::Release() {
    SafeRelease(pWorkSurface);
    SafeRelease(pBackground);
    SafeRelease(pBackBuffer);
    SafeRelease(pd3dDevice);
    while (pHead) {
        CConsoleLine* next = pHead->GetNext();
        delete pHead;
        pHead = next;
    }
    pEditLine = nullptr; // the operations that need a line find none instead of a freed one
    initialised = 0;
}

// The end of the console's life: nothing is left to draw with, so it draws nothing either.
void CConsole::Destroy() {
    Release();
}

void CConsole::Show(int open) {
    // Closing a hidden console would slide it from its closed offset away from its end: it stays hidden.
    if (!open && !visible) {
        return;
    }
    visible = 1;
    slideState = open ? kConsoleOpening : kConsoleClosing;
}

void CConsole::SetCommandHandler(ConsoleCommandHandler handler) {
    pfnCommand = handler;
    commandHandlerSet = 1;
}

int CConsole::OnChar(char character) {
    if (!visible || !pEditLine || character == kCarriageReturn) {
        return 0;
    }
    if (character == kTab) {
        character = ' ';
    }
    if (character == ' ') {
        // No space at the start of a line and none after another.
        if (g_ConsolePrevChar != ' ' && g_ConsolePrevChar != 0) {
            pEditLine->AddChar(' ');
            g_ConsolePrevChar = ' ';
        }
    } else if (character == 0) {
        g_ConsolePrevChar = 0;
    } else {
        pEditLine->AddChar(character);
        g_ConsolePrevChar = character;
    }
    return 0;
}

int CConsole::HandleKey(int key) {
    if (key == VK_F11) {
        slideState = visible ? kConsoleClosing : kConsoleOpening;
        visible = 1;
        return 0;
    }
    if (!visible || !pEditLine) {
        return 0;
    }
    if (key == VK_LEFT) {
        pEditLine->AddChar(kBackspace);
        g_ConsolePrevChar = kBackspace;
    } else if (key == VK_RETURN) {
        g_ConsolePrevChar = 0;
        // The handler sees a parsed copy; the line keeps what was typed.
        char* copy = commandHandlerSet && pfnCommand ? new (std::nothrow) char[kConsoleLineSize] : nullptr;
        if (copy) {
            pEditLine->GetText(copy, kConsoleLineSize);
            if (copy[0] != 0 && strcmp(copy, " ") != 0) {
                CConsoleCommand command;
                ParseCommand(copy, &command);
                if (command.name && pfnCommand(&command) < 0) {
                    PrintLine(kUnknownCommand);
                }
            }
            delete[] copy;
        }
        NewLine();
    }
    return 0;
}

void CConsole::ParseCommand(char* line, CConsoleCommand* command) const {
    if (!command) {
        return;
    }
    char* word = line ? strtok(_strlwr(line), kDelimiters) : nullptr;
    if (!word) {
        command->name = CopyWord(" ");
        command->argc = 0;
        return;
    }
    // A word that finds no memory ends the parse; what was stored stands.
    command->name = CopyWord(word);
    command->argc = 0;
    while (command->name && command->argc < CConsoleCommand::kMaxArgs) {
        word = strtok(nullptr, kDelimiters);
        char* arg = word ? CopyWord(word) : nullptr;
        if (!arg) {
            break;
        }
        command->argv[command->argc++] = arg;
    }
}

void CConsole::NewLine() {
    if (!pHead) {
        return;
    }
    const int h = g_AlphabetCellHeight;
    // Every line but the oldest moves up a line; the oldest is dropped.
    CConsoleLine* beforeOldest = nullptr;
    CConsoleLine* oldest = pHead;
    while (oldest->GetNext()) {
        oldest->SetY(oldest->GetY() - h);
        beforeOldest = oldest;
        oldest = oldest->GetNext();
    }
    CConsoleLine* line = NewConsoleLine();
    if (line) {
        delete oldest;
    } else {
        // Out of memory: the oldest line is reused, emptied, so the console keeps working.
        line = oldest;
        line->SetText("");
    }
    if (beforeOldest) {
        beforeOldest->SetNext(nullptr);
        line->SetNext(pHead);
    }
    line->SetY(height - h - kLineBottomMargin);
    pHead = pEditLine = line;
}

void CConsole::PrintLine(const char* line) {
    NewLine();
    if (pEditLine) {
        pEditLine->SetText(line);
    }
}

void CConsole::Clear() {
    for (CConsoleLine* line = pHead; line && line->GetNext(); line = line->GetNext()) {
        line->SetText("");
    }
}

void CConsole::Render() {
    if (!initialised) {
        return;
    }
    if (!g_SlideOffsetSet) {
        g_ConsoleSlideOffset = height;
        g_SlideOffsetSet = true;
    }
    if (slideState == kConsoleOpening) {
        g_ConsoleSlideOffset -= kSlideStep;
        if (g_ConsoleSlideOffset <= 0) {
            slideState = kConsoleStill;
        }
    } else if (slideState == kConsoleClosing) {
        g_ConsoleSlideOffset += kSlideStep;
        // An offset left by a console of another height still ends the closing, at this one's height.
        if (g_ConsoleSlideOffset >= height) {
            g_ConsoleSlideOffset = height;
            visible = 0;
            slideState = kConsoleStill;
        }
    }
    if (!visible) {
        return;
    }

    D3DXLoadSurfaceFromSurface(pWorkSurface, nullptr, nullptr, pBackground, nullptr, nullptr,
                               D3DX_FILTER_LINEAR, 0);
    // Without the lock the frame shows the background without its text.
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(pWorkSurface->LockRect(&locked, nullptr, 0))) {
        for (const CConsoleLine* line = pHead; line && line->GetNext(); line = line->GetNext()) {
            line->Draw(static_cast<DWORD*>(locked.pBits), locked.Pitch, height);
        }
        pWorkSurface->UnlockRect();
    }
    // While sliding only the console's lower part shows, at the top of the screen.
    if (g_ConsoleSlideOffset > 0 && g_ConsoleSlideOffset < height) {
        const RECT shown = {0, g_ConsoleSlideOffset, width, height};
        const POINT corner = {0, 0};
        pd3dDevice->UpdateSurface(pWorkSurface, &shown, pBackBuffer, &corner);
    } else {
        CopySurfaceKeyed(nullptr, pWorkSurface, nullptr, pBackBuffer, 0, 0);
    }
}
