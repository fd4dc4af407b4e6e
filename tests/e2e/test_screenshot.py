"""S on the play screen: numbered BMP files of the window as the display shows it."""
import glob
import os
import unittest

from PIL import Image

import driver
from driver import Game


class ScreenshotTest(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def shots(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.game.bin, "screenshot*.bmp")))

    def complete(self, name):
        try:
            with Image.open(os.path.join(self.game.bin, name)) as picture:
                picture.load()
            return True
        except (OSError, ValueError):
            return False

    def press_s(self):
        """Holds S until the next file is written (a key message with S down saves one file)."""
        before = len(self.shots())
        self.game.keydown("s")
        try:
            driver.wait_for(lambda: len(self.shots()) > before and self.complete(self.shots()[before]), 10,
                            what="screenshot %d" % before)
        finally:
            self.game.keyup("s")

    def test_s_on_the_play_screen_saves_numbered_pictures_of_the_window(self):
        game = self.game = Game("screenshot").start()
        game.answer_question(yes=False)
        game.wait_window()
        loading = driver.splash_as_drawn("Loading.jpg")
        driver.wait_for(lambda: driver.title_shown(game.screenshot()), 15, what="the title screen")
        game.key("space")
        driver.wait_for(lambda: driver.matches(game.screenshot(), loading), 10, what="the loading picture")
        # The last loading frames are drawn under the play screen's scaling, so the loading picture going
        # away does not yet mean the play screen.
        driver.wait_for(lambda: driver.on_play_screen(game.screenshot()), 20, what="the play screen")

        screen = game.screenshot()
        self.press_s()
        with Image.open(os.path.join(game.bin, "screenshot00.bmp")) as picture:
            shot = picture.convert("RGB")

        # The window stands at (0, 0); its client area at (x, y), inside a frame as wide on the right
        # and at the bottom as on the left.
        x, y, _, _ = game.client_box()
        self.assertEqual(shot.size, (2 * x + driver.CLIENT_W, y + x + driver.CLIENT_H),
                         "the window's rectangle, frame and caption included")
        client = shot.crop((x, y, x + driver.CLIENT_W, y + driver.CLIENT_H))
        self.assertLess(driver.mean_difference(client, screen), 4.0, "the picture is what the display shows")
        black = Image.new("RGB", client.size)
        self.assertGreater(driver.mean_difference(client, black), 5.0, "the play screen, not an empty picture")

        while len(self.shots()) < 11:
            self.press_s()
        names = self.shots()
        count = len(names)
        self.assertEqual(names, sorted("screenshot%02d.bmp" % n for n in range(count)),
                         "numbered from 00 without gaps, two digits below 100")
        self.assertEqual(names[9:11], ["screenshot09.bmp", "screenshot10.bmp"])

        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
