// The console's set-up and lines, typing with its space folding, and the command line handed to
// the application's handler.
#include "console_fixture.h"

#include "failing_allocation.h"
#include "private_folder.h"

namespace {

TEST_F(ConsoleTest, InitLaysTwelveLinesOutFromTheBottom) {
    EXPECT_EQ(m_console.initialised, 1);
    EXPECT_EQ(m_console.width, 1024);
    EXPECT_EQ(m_console.height, 384);
    EXPECT_EQ(Rows(), FreshRows());
    EXPECT_EQ(m_console.pEditLine, m_console.pHead);
    EXPECT_EQ(m_console.visible, 0);
    EXPECT_EQ(m_console.slideState, kConsoleStill);

    // Release gives back the back buffer's reference and every line; Init may follow.
    const ULONG held = References(m_backBuffer);
    m_console.Release();
    EXPECT_EQ(References(m_backBuffer), held - 1);
    EXPECT_EQ(m_console.initialised, 0);
    EXPECT_EQ(m_console.pHead, nullptr);
    EXPECT_EQ(m_console.pEditLine, nullptr);
    EXPECT_EQ(m_console.pWorkSurface, nullptr);
    EXPECT_EQ(m_console.HandleKey(VK_RETURN), 0) << "nothing to act on, and no stale line";
    ASSERT_EQ(m_console.Init(g_pd3dDevice, m_backBuffer), S_OK);
    EXPECT_EQ(Rows(), FreshRows());
}

TEST_F(ConsoleTest, InitRefusesWhatCannotHoldAConsole) {
    const ULONG held = References(m_backBuffer);
    CConsole console;
    EXPECT_EQ(console.Init(nullptr, m_backBuffer), E_FAIL);
    EXPECT_EQ(console.Init(g_pd3dDevice, nullptr), E_FAIL);
    g_AlphabetCellHeight = 0; // no alphabet, no line height
    EXPECT_EQ(console.Init(g_pd3dDevice, m_backBuffer), E_FAIL);
    g_AlphabetCellHeight = 193; // 384 rows hold one line only
    EXPECT_EQ(console.Init(g_pd3dDevice, m_backBuffer), E_FAIL);
    EXPECT_EQ(console.initialised, 0);
    EXPECT_EQ(console.pd3dDevice, nullptr);
    EXPECT_EQ(References(m_backBuffer), held);

    g_AlphabetCellHeight = 192; // the edit line and the oldest
    ASSERT_EQ(console.Init(g_pd3dDevice, m_backBuffer), S_OK);
    for (const CConsoleLine* line = console.pHead; line; line = line->GetNext()) {
        EXPECT_EQ(line->GetY(), line == console.pHead ? 384 - 192 - 5 : 0);
    }
    console.Destroy();
    EXPECT_EQ(console.pHead, nullptr);
    EXPECT_EQ(References(m_backBuffer), held);
    g_AlphabetCellHeight = 32;
}

TEST_F(ConsoleTest, InitRefusesLinesShortEnoughToFallAboveTheSurface) {
    // 384 rows of 4-pixel lines lay the topmost drawn line out at 384 - 4 * 95 - 5 = -1.
    const ULONG held = References(m_backBuffer);
    CConsole console;
    for (const int h : {1, 2, 3, 4}) {
        g_AlphabetCellHeight = h;
        EXPECT_EQ(console.Init(g_pd3dDevice, m_backBuffer), E_FAIL) << h;
        EXPECT_EQ(console.initialised, 0);
        EXPECT_EQ(References(m_backBuffer), held);
    }
    g_AlphabetCellHeight = 5; // 384 - 5 * 75 - 5 = 4
    ASSERT_EQ(console.Init(g_pd3dDevice, m_backBuffer), S_OK);
    int lowest = 384;
    for (const CConsoleLine* line = console.pHead; line; line = line->GetNext()) {
        lowest = std::min(lowest, line->GetNext() ? line->GetY() : lowest);
    }
    EXPECT_EQ(lowest, 4);
    console.Destroy();
    g_AlphabetCellHeight = 32;
}

TEST_F(ConsoleTest, InitFailsAndHoldsNothingWithoutItsBackground) {
    PrivateFolder folder; // "..\Immagini\" is not there
    const ULONG held = References(m_backBuffer);
    DebugOutputRecorder recorder;
    CConsole console;
    EXPECT_EQ(console.Init(g_pd3dDevice, m_backBuffer), E_FAIL);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load bitmap"));
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load console background image"));
    EXPECT_EQ(console.initialised, 0);
    EXPECT_EQ(console.pWorkSurface, nullptr);
    EXPECT_EQ(console.pHead, nullptr);
    EXPECT_EQ(References(m_backBuffer), held);
}

TEST_F(ConsoleTest, InitFailsAndHoldsNothingWhenALineFindsNoMemory) {
    const ULONG held = References(m_backBuffer);
    CConsole console;
    {
        FailingAllocations failing(5); // two lines, then a third without its buffer
        EXPECT_EQ(console.Init(g_pd3dDevice, m_backBuffer), E_FAIL);
    }
    EXPECT_EQ(console.initialised, 0);
    EXPECT_EQ(console.pHead, nullptr);
    EXPECT_EQ(References(m_backBuffer), held);
}

TEST_F(ConsoleTest, SpacesAreFoldedWhileTyping) {
    Type("  Help,Me  now");
    EXPECT_EQ(Lines()[0], "") << "hidden: typing is ignored";

    m_console.Show(1);
    Type("  Help,Me  now");
    EXPECT_EQ(Lines()[0], "Help,Me now");
    m_console.HandleKey(VK_RETURN);
    Type("  Help,Me  now");
    EXPECT_EQ(Lines()[0], "Help,Me now") << "after Enter a line starts afresh";
    EXPECT_EQ(Lines()[1], "Help,Me now");

    m_console.HandleKey(VK_RETURN);
    Type("a\t\tb\rc\bd");
    EXPECT_EQ(Lines()[0], "a bd") << "tab is a space, carriage return nothing, 8 a backspace";
    m_console.OnChar(0);
    m_console.OnChar(' ');
    EXPECT_EQ(Lines()[0], "a bd") << "0 counts as the start of a line";
}

TEST_F(ConsoleTest, LeftRemovesTheLastCharacterAndAllowsASpace) {
    m_console.Show(1);
    m_console.HandleKey(VK_LEFT);
    EXPECT_EQ(Lines()[0], "");
    EXPECT_EQ(g_ConsolePrevChar, 8);
    m_console.OnChar(' ');
    EXPECT_EQ(Lines()[0], " ");
    Type("ab");
    m_console.HandleKey(VK_LEFT);
    EXPECT_EQ(Lines()[0], " a");

    m_console.visible = 0;
    m_console.HandleKey(VK_LEFT);
    EXPECT_EQ(Lines()[0], " a") << "hidden: Left does nothing";
}

TEST_F(ConsoleTest, EnterHandsTheHandlerALowerCaseParsedCopy) {
    m_console.SetCommandHandler(Record);
    m_console.Show(1);
    Type("Give Gold 10,20");
    m_console.HandleKey(VK_RETURN);
    ASSERT_EQ(s_seen.size(), 1u);
    EXPECT_EQ(s_seen[0].name, "give");
    EXPECT_EQ(s_seen[0].args, (std::vector<std::string>{"gold", "10", "20"}));
    EXPECT_EQ(Lines()[0], "");
    EXPECT_EQ(Lines()[1], "Give Gold 10,20") << "the typed line keeps its case";
}

TEST_F(ConsoleTest, EnterOnAnEmptyOrBlankLineCallsNoHandlerButStartsANewLine) {
    m_console.SetCommandHandler(Record);
    m_console.Show(1);
    Type("first");
    m_console.HandleKey(VK_RETURN);
    m_console.HandleKey(VK_RETURN);
    m_console.HandleKey(VK_LEFT);
    m_console.OnChar(' ');
    m_console.HandleKey(VK_RETURN);
    EXPECT_EQ(s_seen.size(), 1u);
    EXPECT_EQ(Lines()[3], "first");
    EXPECT_EQ(Lines()[1], " ");
    EXPECT_EQ(g_ConsolePrevChar, 0);

    m_console.visible = 0;
    m_console.HandleKey(VK_RETURN);
    EXPECT_EQ(Lines()[3], "first") << "hidden: Enter does nothing";
}

TEST_F(ConsoleTest, AnUnknownCommandIsAnsweredInTheConsole) {
    m_console.SetCommandHandler(Record);
    m_console.Show(1);
    s_result = -1;
    Type("xyzzy");
    m_console.HandleKey(VK_RETURN);
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "-- Unknown Command --");
    EXPECT_EQ(lines[2], "xyzzy");

    s_result = 7; // any other result is not looked at
    Type("look");
    m_console.HandleKey(VK_RETURN);
    EXPECT_EQ(Lines()[1], "look");
}

TEST_F(ConsoleTest, ParsingSplitsAtSpacesAndCommasAndStopsAtTwentyFiveArguments) {
    std::string line = "cmd";
    for (int i = 1; i < 30; ++i) {
        line += " w" + std::to_string(i);
    }
    CConsoleCommand command;
    m_console.ParseCommand(&line[0], &command);
    EXPECT_STREQ(command.name, "cmd");
    ASSERT_EQ(command.argc, 25);
    EXPECT_STREQ(command.argv[0], "w1");
    EXPECT_STREQ(command.argv[24], "w25");

    char mixed[] = " ,,Say,, HELLO  ,World, ";
    CConsoleCommand split;
    m_console.ParseCommand(mixed, &split);
    EXPECT_STREQ(split.name, "say");
    ASSERT_EQ(split.argc, 2);
    EXPECT_STREQ(split.argv[0], "hello");
    EXPECT_STREQ(split.argv[1], "world");
    EXPECT_EQ(split.argv[2], nullptr);

    char blank[] = " , ,";
    CConsoleCommand none;
    m_console.ParseCommand(blank, &none);
    EXPECT_STREQ(none.name, " ");
    EXPECT_EQ(none.argc, 0);

    char words[] = "a b c d";
    CConsoleCommand cut;
    {
        FailingAllocations failing(2);
        m_console.ParseCommand(words, &cut);
    }
    EXPECT_STREQ(cut.name, "a");
    ASSERT_EQ(cut.argc, 1) << "a word without memory ends the parse";
    EXPECT_STREQ(cut.argv[0], "b");
}

TEST_F(ConsoleTest, NewLineDropsTheOldestAndKeepsTheCount) {
    for (int i = 0; i < 15; ++i) {
        m_console.PrintLine(("line " + std::to_string(i)).c_str());
    }
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "line 14") << "a printed line stands in the edit line";
    EXPECT_EQ(lines[11], "line 3");
    std::vector<int> rows = Rows();
    std::vector<int> fresh = FreshRows();
    rows.pop_back(); // the oldest line is never drawn
    fresh.pop_back();
    EXPECT_EQ(rows, fresh);
    EXPECT_EQ(m_console.pEditLine, m_console.pHead);

    g_ConsolePrevChar = 'q';
    m_console.Clear();
    std::vector<std::string> cleared(11, "");
    cleared.push_back("line 3"); // the oldest line is left alone
    EXPECT_EQ(Lines(), cleared);
    EXPECT_EQ(g_ConsolePrevChar, 'q');
}

TEST_F(ConsoleTest, NewLineWithoutMemoryReusesTheOldestLine) {
    m_console.Show(1);
    Type("abc");
    m_console.SetCommandHandler(Record);
    {
        FailingAllocations failing(0);
        m_console.HandleKey(VK_RETURN);
    }
    EXPECT_TRUE(s_seen.empty()) << "no copy of the line, no command";
    ASSERT_EQ(Lines().size(), 12u);
    EXPECT_EQ(Lines()[0], "");
    EXPECT_EQ(Lines()[1], "abc");
    std::vector<int> rows = Rows();
    EXPECT_EQ(rows[0], 347);
    EXPECT_EQ(rows[1], 315);
}

TEST_F(ConsoleTest, ALineHoldsAtMost255Characters) {
    m_console.Show(1);
    const std::string full(300, 'a');
    Type(full.c_str());
    EXPECT_EQ(Lines()[0], full.substr(0, 255));
    m_console.OnChar('\b');
    m_console.OnChar('b');
    EXPECT_EQ(Lines()[0], full.substr(0, 254) + "b");

    m_console.PrintLine(std::string(400, 'x').c_str());
    EXPECT_EQ(Lines()[0], std::string(255, 'x'));
    m_console.pEditLine->SetText(nullptr);
    EXPECT_EQ(Lines()[0], "");
}

TEST(ConsoleLineTest, GetTextCopiesRawBytesUpToTheBuffer) {
    CConsoleLine line;
    line.SetText("ab");
    char out[300];
    memset(out, 0x55, sizeof(out));
    line.GetText(out, 4);
    EXPECT_EQ(std::string(out, 5), std::string("ab\0\0\x55", 5));
    memset(out, 0x55, sizeof(out));
    line.GetText(out, 300);
    EXPECT_EQ(out[255], 0);
    EXPECT_EQ(out[256], 0x55) << "never more than the line's 256 bytes";
}

TEST_F(ConsoleTest, DrawingLeavesOutCharactersPastTheEndOfTheRow) {
    // 100 pixels a row hold five cells after the 10-pixel margin; the rest would wrap below.
    std::vector<DWORD> memory(100 * 70, 0xDEADBEEF);
    CConsoleLine line;
    line.SetText("AAAAAAAAAAAAAAAAAAAA");
    line.Draw(memory.data(), 100 * 4, 70);
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool drawn = memory[y * 100 + x] != 0xDEADBEEF;
            if (y >= 32 || x < 10 || x >= 90) {
                EXPECT_FALSE(drawn) << x << "," << y;
            }
        }
    }
    size_t fifth = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 74; x < 90; ++x) {
            fifth += memory[y * 100 + x] != 0xDEADBEEF;
        }
    }
    EXPECT_GT(fifth, 20u) << "the fifth A is drawn";
}

TEST_F(ConsoleTest, DrawingLeavesOutTheRowsAboveAndBelowTheMemory) {
    // 40 rows of 100 pixels between two guard bands of 40 rows; the same line drawn unclipped into
    // one large memory gives what the 40 rows must hold.
    constexpr DWORD kGuard = 0xDEADBEEF;
    std::vector<DWORD> memory(100 * 120, kGuard);
    std::vector<DWORD> expected(100 * 120, kGuard);
    DWORD* const inside = memory.data() + 100 * 40;
    CConsoleLine line;
    line.SetText("AWAW");
    for (const int y : {20, -20}) { // half past the bottom, half above the top
        line.SetY(y);
        line.Draw(inside, 100 * 4, 40);
        PrintString(10, 40 + y, "AWAW", 1, 0, expected.data(), 100 * 4);
    }
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 100; ++x) {
            const DWORD want = y >= 40 && y < 80 ? expected[y * 100 + x] : kGuard;
            ASSERT_EQ(memory[y * 100 + x], want) << x << "," << y;
        }
    }
    EXPECT_GT(std::count_if(inside, inside + 100 * 12, [](DWORD p) { return p != kGuard; }), 20)
        << "the lower rows of the line above the top are drawn";
    EXPECT_GT(std::count_if(inside + 100 * 20, inside + 100 * 40, [](DWORD p) { return p != kGuard; }), 20)
        << "the upper rows of the line below are drawn";
}

TEST_F(ConsoleTest, F11OpensAndClosesAndShowWithoutOpenKeepsAHiddenConsoleHidden) {
    m_console.Show(0);
    EXPECT_EQ(m_console.visible, 0);
    EXPECT_EQ(m_console.slideState, kConsoleStill);
    m_console.HandleKey(VK_F11);
    EXPECT_EQ(m_console.visible, 1);
    EXPECT_EQ(m_console.slideState, kConsoleOpening);
    m_console.HandleKey(VK_F11);
    EXPECT_EQ(m_console.visible, 1);
    EXPECT_EQ(m_console.slideState, kConsoleClosing);
    m_console.Show(1);
    EXPECT_EQ(m_console.slideState, kConsoleOpening);
    m_console.Show(0);
    EXPECT_EQ(m_console.slideState, kConsoleClosing);
    EXPECT_EQ(m_console.HandleKey('A'), 0);
    EXPECT_EQ(m_console.slideState, kConsoleClosing);
}

} // namespace
