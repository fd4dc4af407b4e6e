// The title stage's set-up brings the input devices to life before anything else, then its buttons.
#include "input_support.h"
#include "shell/shell.h"
#include "ui/button.h"

namespace {

class TitleInputTest : public InputDeviceTest {
protected:
    void TearDown() override {
        if (g_LogFile) {
            fclose(g_LogFile);
            g_LogFile = nullptr;
        }
        RemovePath("D3D.log");
        InputDeviceTest::TearDown();
    }
};

TEST_F(TitleInputTest, FailedInputEndsTheSetUpWithAMessage) {
    RemovePath("D3D.log");
    g_hInstance = nullptr; // DirectInput refuses a null instance
    MessageBoxAnswerer answerer;
    DebugOutputRecorder recorder;
    EXPECT_EQ(InitTitleStage(m_window), E_FAIL);
    ASSERT_THAT(answerer.Seen(), SizeIs(1u));
    EXPECT_EQ(answerer.Seen()[0].caption, "Errore");
    EXPECT_EQ(answerer.Seen()[0].text, "Impossibile inizializzare l'input device \n");
    EXPECT_EQ(answerer.Seen()[0].icon, BoxIcon::Exclamation);
    EXPECT_TRUE(recorder.HasErrorLine("Impossibile inizializzare l'input device"));
    EXPECT_EQ(g_LogFile, nullptr) << "nothing after the input set-up runs";
    EXPECT_EQ(GetFileAttributesA("D3D.log"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(TitleInputTest, TheSetUpStartsTheDevicesOpensTheLogAndLoadsTheButtons) {
    MessageBoxAnswerer answerer;
    const bool undisturbed = RunUndisturbed([&] {
        ResetInputGlobals();
        if (!TakeForeground(m_window)) {
            return false;
        }
        return InitTitleStage(m_window) == 1;
    });
    ASSERT_TRUE(undisturbed) << "other windows kept taking the foreground";
    EXPECT_EQ(g_Keyboard.acquired, 1);
    EXPECT_EQ(g_Mouse.acquired, 1);
    EXPECT_NE(g_LogFile, nullptr);
    // Each button's picture, with its own over picture in place of the plain one.
    for (const CButton* button : {&g_StartButton, &g_TitleExitButton}) {
        EXPECT_NE(button->pUpTexture, nullptr);
        EXPECT_NE(button->pOverTexture, nullptr);
        EXPECT_NE(button->pOverTexture, button->pUpTexture);
    }
}

} // namespace
