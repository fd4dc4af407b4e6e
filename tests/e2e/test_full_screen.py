"""Yes to the question, on a display already at 1024 x 768: the game runs full screen through the title
and the play screen, reports the full-screen settings, and Esc ends it. Xvfb cannot change its mode, so
the display is started at the game's size (scripts/test.sh starts one)."""
import os
import unittest

import driver
from driver import Game

# The report of a full-screen start, in the order written; the device lines that follow depend on the
# adapter.
FULL_SCREEN_SETTINGS = [
    "WinWidth 1024",
    "WinHeight 768",
    "Windowed FALSE",
    "MultiSampleType D3DMULTISAMPLE_NONE",
    "SwapEffect D3DSWAPEFFECT_COPY",
    "EnableAutoDepthStencil TRUE",
    "PresentationInterval D3DPRESENT_INTERVAL_IMMEDIATE",
    "Flags D3DPRESENTFLAG_LOCKABLE_BACKBUFFER",
    "",
]


class FullScreenTest(unittest.TestCase):
    def setUp(self):
        display = os.environ.get("E2E_FULL_SCREEN_DISPLAY")
        prefix = os.environ.get("E2E_FULL_SCREEN_WINEPREFIX")
        if not display or not prefix:
            self.skipTest("no display at 1024 x 768 (E2E_FULL_SCREEN_DISPLAY and E2E_FULL_SCREEN_WINEPREFIX); "
                          "scripts/test.sh starts one")
        # The driver's xdotool and Wine runs follow these, so every key and screenshot goes to this display.
        os.environ["E2E_DISPLAY"] = display
        os.environ["E2E_WINEPREFIX"] = prefix

    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def test_yes_plays_full_screen_and_esc_ends(self):
        game = self.game = Game("full-screen").start()
        game.answer_question(yes=True)
        game.wait_window()
        title = game.wait_screen(driver.title_shown, 20, what="the title screen filling the display")
        game.save_screen("title.png", title)
        # A window would carry its caption and border inside its X window, and so be larger.
        game.window = driver.find_windows(driver.TITLE)[0]
        self.assertEqual(game.geometry(), (0, 0, driver.CLIENT_W, driver.CLIENT_H), "the whole display")

        report = game.file("options.txt").decode("latin-1").split("\r\n")
        self.assertEqual(report[:9], FULL_SCREEN_SETTINGS)
        self.assertIn(report[9], ("DEVICE TYPE D3DDEVTYPE_HAL", "DEVICE TYPE D3DDEVTYPE_REF"))
        self.assertIn(report[10], ("b2SidedStencils true", "b2SidedStencils false"))
        self.assertIn(report[11], ("psVersion true", "psVersion false"))
        self.assertEqual(report[12:], [""], "twelve lines, each ended by CR LF")

        game.key("space")
        play = game.wait_screen(driver.on_play_screen, 20, what="the play screen")
        game.save_screen("play.png", play)
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
