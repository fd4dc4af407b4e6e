"""The title screen as a player meets it: Start and Exit by mouse, Space and Esc."""
import time
import unittest

import driver
from driver import Cursor, Game

START = (512, 384)
EXIT = (512, 537)


class TitleTest(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def start_title(self, name):
        self.game = Game(name).start()
        self.game.answer_question(yes=False)
        self.game.wait_window()
        driver.wait_for(lambda: driver.title_shown(self.game.screenshot()), 20, what="the title screen")
        # With the cursor at (0, 0), on no button: clears a button an earlier game left held in Wine.
        driver.click()
        return self.game

    def loading_shown(self):
        """Whether the screen shows the loading picture, asked anew at each call of what it answers."""
        loading = driver.splash_as_drawn("Loading.jpg")
        return lambda: driver.matches(self.game.screenshot(), loading)

    def button_matches(self, picture, origin, tolerance=20.0):
        box, expected = driver.button_as_drawn(picture, *origin)
        # The middle of the button, away from its rounded, keyed-out ends.
        inner = (box[0] + 60, box[1] + 20, box[2] - 60, box[3] - 20)
        shown = self.game.screenshot().crop(inner)
        wanted = expected.crop((60, 20, expected.width - 60, expected.height - 20))
        return driver.mean_difference(shown, wanted) < tolerance

    def test_space_starts_loading(self):
        game = self.start_title("space")
        game.key("space")
        driver.wait_for(self.loading_shown(), 10, what="the loading picture")

    def test_hovering_start_highlights_it_and_a_click_starts_loading(self):
        game = self.start_title("start")
        self.assertTrue(self.button_matches("startGame.png", START))
        cursor = Cursor()
        cursor.move_to(300, 320)
        driver.wait_for(lambda: self.button_matches("startGameOn.png", START), 5, what="the highlighted Start")
        driver.press_until(self.loading_shown(), 10, what="the loading picture")

    def test_right_button_alone_is_not_a_press(self):
        game = self.start_title("right")
        Cursor().move_to(300, 320)
        driver.wait_for(lambda: self.button_matches("startGameOn.png", START), 5, what="the highlighted Start")
        driver.xdotool("mousedown", "3")
        driver.wait_for(lambda: self.button_matches("startGame.png", START), 5, what="the plain Start")
        driver.xdotool("mouseup", "3")
        self.assertTrue(game.running())

    def test_a_click_on_exit_ends_the_program(self):
        game = self.start_title("exit")
        Cursor().move_to(300, 430)
        driver.wait_for(lambda: self.button_matches("exitGameOn.png", EXIT), 5, what="the highlighted Exit")
        driver.press_until(lambda: not game.running(), 10, what="Exit to end the program")
        self.assertEqual(game.wait_exit(0), 0)

    def test_esc_on_the_title_ends_the_program(self):
        game = self.start_title("esc")
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
