// "D3D.log" and the debugger error line.
#include "harness.h"

namespace {

const char kHeader[] = "D3D LOG FILE \r\n\r\n\r\n";

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppGlobals(); }
    void TearDown() override {
        ResetAppGlobals();
        RemovePath("D3D.log");
    }
};

TEST_F(LogTest, AnExistingLogIsEmptiedToTheHeader) {
    WriteFileBytes("D3D.log", "old content from the last run\nmore\n");
    ASSERT_TRUE(OpenLogFile());
    EXPECT_STREQ(g_LogFileName, "D3D.log");
    EXPECT_EQ(CloseLogFile(), 0);
    EXPECT_EQ(g_LogFile, nullptr);
    EXPECT_EQ(CloseLogFile(), EOF) << "a second close finds no log";
    EXPECT_EQ(ReadFileBytes("D3D.log"), kHeader);
}

TEST_F(LogTest, LinesFollowTheHeader) {
    ASSERT_TRUE(OpenLogFile());
    LogWrite("Impossibile caricare il font necessario");
    LogWrite("second");
    EXPECT_EQ(CloseLogFile(), 0);
    EXPECT_EQ(ReadFileBytes("D3D.log"),
              std::string(kHeader) + "Impossibile caricare il font necessario\r\nsecond\r\n");
}

TEST_F(LogTest, AnUnwritableLogGivesFalseAndOneDebuggerLine) {
    RemovePath("D3D.log");
    ASSERT_TRUE(CreateDirectoryA("D3D.log", nullptr)); // cannot be created as a file, even by root
    DebugOutputRecorder recorder;
    EXPECT_FALSE(OpenLogFile());
    RemoveDirectoryA("D3D.log");
    EXPECT_EQ(g_LogFile, nullptr);
    const std::vector<std::string> expected = {"Impossibile aprire il file: ", "D3D.log", "\n"};
    EXPECT_EQ(recorder.Outputs(), expected);
}

TEST_F(LogTest, WritingWithoutAnOpenLogIsReportedNotFatal) {
    DebugOutputRecorder recorder;
    strcpy(g_LogFileName, "D3D.log");
    LogWrite("lost");
    const std::vector<std::string> expected = {"Impossibile scrivere sul file: ", "D3D.log", "\n"};
    EXPECT_EQ(recorder.Outputs(), expected);
    EXPECT_EQ(CloseLogFile(), EOF);
}

TEST(ErrorOutTest, WritesThreeOutputsInOrder) {
    DebugOutputRecorder recorder;
    ErrorOut("Unable to load alphabet bitmap");
    const std::vector<std::string> expected = {"ERROR: ", "Unable to load alphabet bitmap", "\n"};
    EXPECT_EQ(recorder.Outputs(), expected);
    EXPECT_TRUE(recorder.HasErrorLine("Unable to load alphabet bitmap"));
}

} // namespace
