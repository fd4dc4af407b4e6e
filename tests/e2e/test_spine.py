"""The program as a player meets it: the question, the window, the logo, the title, the loading
picture and the ways out."""
import os
import time
import unittest

import driver
import spoiled
from driver import Game


class SpineTest(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def start(self, name, **kwargs):
        self.game = Game(name, **kwargs).start()
        self.game.answer_question(yes=False)
        self.game.wait_window()
        return self.game

    def wait_for_logo(self):
        logo = driver.splash_as_drawn("VARNOX_LOGO.jpg")
        driver.wait_for(lambda: driver.matches(self.game.screenshot(), logo), 10, what="the logo on screen")

    def test_logo_then_esc_ends_at_once(self):
        game = self.start("esc")
        x0, y0, x1, y1 = game.client_box()
        self.assertEqual((x1 - x0, y1 - y0), (1024, 768))
        self.wait_for_logo()
        report = game.file("options.txt").decode("latin-1")
        self.assertIn("Windowed TRUE\r\n", report)
        self.assertEqual(len(report.splitlines()), 12)
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)

    def test_closing_the_window_during_the_logo_shuts_down(self):
        game = self.start("close")
        self.wait_for_logo()
        game.key("alt+F4")
        self.assertEqual(game.wait_exit(10), 0)
        self.assertFalse(os.path.exists(os.path.join(game.bin, "D3D.log")),
                         "the title stage was never set up")

    def test_timeline_logo_title_loading_game(self):
        game = self.start("timeline")
        started = time.monotonic()
        loading = driver.splash_as_drawn("Loading.jpg")
        self.wait_for_logo()
        driver.wait_for(lambda: driver.title_shown(game.screenshot()), 15, what="the title screen")
        self.assertGreaterEqual(time.monotonic() - started, 1.5, "the logo stays two seconds")
        self.assertTrue(game.file("D3D.log").startswith(b"D3D LOG FILE \r\n\r\n\r\n"))
        time.sleep(1.0)
        self.assertTrue(driver.title_shown(game.screenshot()), "the title waits for Start")
        space_pressed = time.monotonic()  # before the key goes down: the game cannot see it earlier
        game.key("space")
        driver.wait_for(lambda: driver.matches(game.screenshot(), loading), 10, what="the loading picture")
        # Once the scene has loaded, the last loading frames are drawn with the play screen's scaling,
        # so the game stage is told by its own screen, not by the loading picture going away.
        driver.wait_for(lambda: driver.on_play_screen(game.screenshot()), 20, what="the game stage")
        self.assertGreaterEqual(time.monotonic() - space_pressed, 4.9, "loading lasts five seconds")
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)

    def test_a_missing_splash_picture_ends_with_a_message(self):
        self.game = Game("missing", remove=["Immagini/Title.jpg"]).start()
        self.game.answer_question(yes=False)
        box = driver.wait_for(lambda: driver.find_windows("Errore"), 30, what="the error box")[0]
        self.game.press_in(box, "Return")
        self.assertEqual(self.game.wait_exit(20), 0x80004005 & 0xFF)

    def test_a_spoiled_splash_picture_ends_with_a_message(self):
        # A palette bitmap claiming a width of 0x7FFFFFFF, under a JPEG's name: the platform's decoder
        # overflowed on it and the game froze behind Wine's crash box.
        what, data = spoiled.kinds()[0]
        self.game = Game("spoiled-splash", spoil={"Immagini/Loading.jpg": data}).start()
        self.game.answer_question(yes=False)
        box = driver.wait_for(lambda: driver.find_windows("Errore"), 30, what="the error box for a " + what)[0]
        self.game.press_in(box, "Return")
        self.assertEqual(self.game.wait_exit(20), 0x80004005 & 0xFF)

    def test_spoiled_pictures_of_the_title_and_the_play_screen_leave_them_undrawn_and_play_goes_on(self):
        # Every picture whose failure the set-up passes over, but the red button's, by which the play
        # screen is told, each holding one of the last seventeen kinds, in the list's order. The last kind
        # of the list goes under the last name, the exit button's picture, which the set-up loads three
        # times as it does every button's: a kind that held the decoder would hold the way to the play
        # screen. The kinds before those seventeen, BMPs whose headers state a size the file does not
        # hold, stay with the device tests, which load every kind under every name (the first is also
        # the splash's above).
        names = ["Immagini/Button/%s" % n for n in ("startGame.png", "startGameOn.png", "exitGame.png",
                                                    "exitGameOn.png")]
        names += ["Immagini/Mouse/cursore.bmp", "Data/legno.jpg"]
        names += ["Immagini/GUI/%s" % n for n in (
            "giallo_butt.jpg", "verde_butt.jpg", "blue_butt.jpg", "viola_butt.jpg", "button_esatti.jpg",
            "button_colore.jpg", "HELP.jpg", "ISTRUZIONI.png", "SOLUZIONE.jpg", "restart_butt.png",
            "exit_butt.png")]
        kinds = spoiled.kinds()
        spoil = {name: data for name, (_, data) in zip(names, kinds[-len(names):])}
        game = self.start("spoiled", spoil=spoil)
        driver.wait_for(lambda: driver.title_shown(game.screenshot()), 15, what="the title screen")
        game.key("space")
        screen = game.wait_screen_or_exit(driver.on_play_screen, 25, what="the play screen")
        self.assertIsNotNone(screen, "the game ended before the play screen")
        self.assertEqual(driver.find_windows("Errore"), [], "nothing the set-up passes over shows a box")
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
