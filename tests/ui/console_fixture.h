// A console set up on a real device's back buffer with the game's alphabet, and a command handler
// that records what it is given.
#pragma once

#include "harness.h"

#include "ui/alphabet.h"
#include "ui/console.h"

#include <string>
#include <vector>

struct SeenCommand {
    std::string name;
    std::vector<std::string> args;
};

class ConsoleTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(InitAlphabet("..\\Alfabeto\\Expo_16x32_VARNOX.bmp", 16, 32), S_OK);
        ASSERT_EQ(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &m_backBuffer), D3D_OK);
        ASSERT_EQ(m_console.Init(g_pd3dDevice, m_backBuffer), S_OK);
        g_ConsolePrevChar = 0;
        s_seen.clear();
        s_result = 0;
    }
    void TearDown() override {
        m_console.Destroy();
        SafeRelease(m_backBuffer);
        ReleaseAlphabet();
        DeviceTest::TearDown();
    }

    void Type(const char* text) {
        for (const char* c = text; *c; ++c) {
            m_console.OnChar(*c);
        }
    }
    // The lines' texts, newest first.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const CConsoleLine* line = m_console.pHead; line; line = line->GetNext()) {
            lines.emplace_back(line->text ? line->text : "(no buffer)");
        }
        return lines;
    }
    std::vector<int> Rows() const {
        std::vector<int> rows;
        for (const CConsoleLine* line = m_console.pHead; line; line = line->GetNext()) {
            rows.push_back(line->GetY());
        }
        return rows;
    }
    static ULONG References(IUnknown* object) {
        object->AddRef();
        return object->Release();
    }

    static int Record(CConsoleCommand* command) {
        SeenCommand seen;
        seen.name = command->name;
        for (int i = 0; i < command->argc; ++i) {
            seen.args.emplace_back(command->argv[i]);
        }
        s_seen.push_back(seen);
        return s_result;
    }

    inline static std::vector<SeenCommand> s_seen;
    inline static int s_result = 0;

    CConsole m_console;
    IDirect3DSurface9* m_backBuffer = nullptr;
};

// The rows of a freshly set-up console at 1024 x 768 with 32-pixel lines: the edit line at 347, each
// older one a line higher, the oldest at 0.
inline std::vector<int> FreshRows() {
    std::vector<int> rows;
    for (int i = 0; i < 11; ++i) {
        rows.push_back(384 - 32 * (i + 1) - 5);
    }
    rows.push_back(0);
    return rows;
}
