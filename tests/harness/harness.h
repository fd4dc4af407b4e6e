// What the tests share: the debugger-output recorder, the message-box answerer, the device fixture,
// pixel read-back and the reset of the program's globals.
#pragma once

#include "services/services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Records every OutputDebugStringA text while it lives (each call is one entry, in order).
class DebugOutputRecorder {
public:
    DebugOutputRecorder();
    ~DebugOutputRecorder();
    DebugOutputRecorder(const DebugOutputRecorder&) = delete;
    DebugOutputRecorder& operator=(const DebugOutputRecorder&) = delete;

    std::vector<std::string> Outputs() const;
    std::string Joined() const;
    // True when the three outputs "ERROR: ", text, "\n" stand in a row.
    bool HasErrorLine(const std::string& text) const;
    // How many times those three outputs stand in a row.
    int ErrorLineCount(const std::string& text) const;
    void Clear();

private:
    void* m_handler;
};

enum class BoxIcon { None, Question, Exclamation, Hand, Asterisk, Unknown };

struct SeenMessageBox {
    std::string caption;
    std::string text;
    bool hasYesNo = false;
    bool hasOk = false;
    BoxIcon icon = BoxIcon::None;
};
// Caption and text, so that a failed count of boxes names the boxes seen.
void PrintTo(const SeenMessageBox& box, std::ostream* out);
// A dialog of the system's class, as message boxes are.
bool IsMessageBox(HWND window);
using ::testing::IsEmpty;
using ::testing::SizeIs;

// Answers every message box the calling thread opens while it lives, and records what it saw: each
// box once, however often it is activated. The answer defaults to No where the box has it, else OK.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer = 0);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& Seen() const { return m_seen; }

private:
    friend struct MessageBoxHook;
    HHOOK m_hook;
    int m_answer;
    std::vector<SeenMessageBox> m_seen;
};

// Puts every global of the application shell back to its state before the program starts.
void ResetAppGlobals();

// The pixels of g_pd3dDevice's back buffer (X8R8G8B8 or A8R8G8B8), row by row. A back buffer that cannot be
// read fails the test and gives an empty picture, 0 by 0.
std::vector<uint32_t> ReadBackBuffer(UINT* width = nullptr, UINT* height = nullptr);
// A pixel's colour without its top byte. Outside the picture it is 0, and a failure unless the picture
// is empty, since an empty one has failed the test where it was read.
uint32_t PixelAt(const std::vector<uint32_t>& pixels, UINT width, UINT x, UINT y);

// A window styled like the game's and a real device created by InitD3D (windowed, no question).
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Clears to background, draws one scene with draw() and returns the back buffer.
    template <class Draw>
    std::vector<uint32_t> DrawScene(D3DCOLOR background, Draw draw, UINT* width = nullptr,
                                    UINT* height = nullptr) {
        g_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
        g_pd3dDevice->BeginScene();
        draw();
        g_pd3dDevice->EndScene();
        return ReadBackBuffer(width, height);
    }

    HWND m_window = nullptr;
};

// A top-level window with the game's class style and size; destroyed by DestroyTestWindow.
HWND CreateTestWindow(WNDPROC proc = nullptr);
void DestroyTestWindow(HWND window);

// Whole-file helpers for checking what the program wrote.
std::string ReadFileBytes(const char* path);
void WriteFileBytes(const char* path, const std::string& bytes);
void RemovePath(const char* path); // a file or an empty folder
