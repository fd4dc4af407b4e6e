"""A game played as a player plays it: colour buttons place pegs on the board, the status line and the
counts, the help picture, a lost game's solution panel, a new game and the exit button. Each stage's
screen is kept in the game's scratch folder."""
import unittest

from PIL import ImageChops

import driver
from driver import Cursor, Game

# Screen points inside each button's hit box (x * 0.5 < mx < x + W, y * 0.72 < my < (y + H) * 0.7).
RED = (40, 85)
YELLOW = (40, 195)
GREEN = (40, 300)
BLUE = (40, 410)
VIOLET = (40, 520)
HELP = (900, 680)
NEW_GAME = (380, 470)
EXIT = (590, 470)
# The cursor's picture while it stands at NUOVA.
CURSOR_AT_NEW_GAME = (NEW_GAME[0], NEW_GAME[1], NEW_GAME[0] + 32, NEW_GAME[1] + 32)

# The first row's holes, nearest the viewer: slot x = 6 on the left of the screen.
ROW1 = (330, 345, 690, 400)
ROW1_SLOTS = [(x - 30, 345, x + 30, 400) for x in (380, 447, 512, 577, 640)]
# Where the changing texts stand: the colour word of the status line ("Hai schiacciato il ..." from
# x = 10), and the two counts' digits at (901, 53) and (901, 168).
STATUS_WORD = (150, 2, 290, 28)
EXACT_COUNT = (890, 40, 925, 75)
COLOUR_COUNT = (890, 155, 925, 190)

HUES = {
    "red": lambda r, g, b: r > 150 and g < 90 and b < 90,
    "yellow": lambda r, g, b: r > 150 and g > 150 and b < 90,
    "green": lambda r, g, b: g > 120 and r < 90 and b < 110,
    "blue": lambda r, g, b: b > 150 and r < 90 and g < 130,
    "violet": lambda r, g, b: r > 100 and b > 120 and g < 80,
}


def start_game(test, name):
    game = Game(name).start()
    test.game = game
    game.answer_question(yes=False)
    game.wait_window()
    driver.wait_for(lambda: driver.title_shown(game.screenshot()), 20, what="the title screen")
    driver.click()  # the cursor is at (0, 0), on no button: clears a button Wine still holds down
    game.key("space")
    driver.wait_for(lambda: driver.on_play_screen(game.screenshot()), 20, what="the play screen")
    return game


def peg_pixels(screen, box, hue):
    """How many pixels in the box are strongly of the hue."""
    return sum(1 for pixel in screen.crop(box).getdata() if HUES[hue](*pixel))


def white_pixels(screen, box):
    return sum(1 for r, g, b in screen.crop(box).getdata() if r > 200 and g > 200 and b > 200)


def changed_pixels(a, b, box, threshold=40):
    """How many pixels in the box differ between two screenshots by more than the threshold in a
    channel: a peg is some hundreds, the same board drawn again none."""
    diff = ImageChops.difference(a.crop(box), b.crop(box))
    return sum(1 for pixel in diff.getdata() if max(pixel) > threshold)


def same(a, b, box):
    """Whether two screenshots show the same thing in the box; the same text drawn again differs by
    under 1, a different word or digit by more than 10."""
    return driver.mean_difference(a.crop(box), b.crop(box)) < 3.0


def place(game, cursor, point, slot, hue):
    """Clicks a colour button until its peg stands in the slot, and returns that screen. A loaded machine
    can stall a frame across a whole click, so the game may miss one; a player clicks again, but only
    after waiting long enough for a slow frame to show the first click's peg."""
    cursor.move_to(*point)
    for attempt in range(2):
        driver.click()
        try:
            return game.wait_screen(lambda s: peg_pixels(s, slot, hue) > 100, 10, what="the %s peg" % hue)
        except TimeoutError:
            if attempt == 1:
                raise


def lose(game, cursor):
    """Holds red down until the solution panel shows: the button repeats its click every 200 ms, so the
    rows fill in about 20 seconds and the 19th ends the game."""
    cursor.move_to(*RED)
    driver.xdotool("mousedown", "1")
    try:
        return game.wait_screen(solution_shown, 60, interval=1.0, what="the solution panel after 19 rows")
    finally:
        driver.xdotool("mouseup", "1")


def solution_panel():
    """The solution panel's box on the screen and its picture as drawn."""
    return driver.gui_as_drawn("SOLUZIONE.jpg", 512, 230)


def solution_shown(screen):
    box, picture = solution_panel()
    inner = (40, 10, 460, 80)
    return driver.matches(screen.crop(box).crop(inner), picture.crop(inner), 30)


def rows_above_panel():
    """Rows 16 (its pegs' tops) to 19, down to the solution panel's top edge: the one part of the board
    a player sees while the panel is shown. Pegs standing there cover x = 414 to 606 from y = 119."""
    return (405, 105, 620, solution_panel()[0][1])


class GameTest(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def test_a_full_row_then_a_lost_game_and_the_exit_button(self):
        game = start_game(self, "row")
        start = game.screenshot()
        self.assertLess(peg_pixels(start, ROW1, "red"), 20, "no peg before the first click")
        self.assertEqual(white_pixels(start, STATUS_WORD), 0, "no status line before the first click")
        for count in (EXACT_COUNT, COLOUR_COUNT):
            self.assertGreater(white_pixels(start, count), 10, "both counts are drawn, 0 before a full row")

        # One peg of each colour: the status line names the colour just pressed, so it changes with
        # every click, and the pegs already placed keep their slots and colours.
        cursor = Cursor()
        row = [(RED, "red"), (GREEN, "green"), (YELLOW, "yellow"), (BLUE, "blue"), (VIOLET, "violet")]
        seen = [start]
        for slot, (point, hue) in enumerate(row):
            screen = place(game, cursor, point, ROW1_SLOTS[slot], hue)
            for earlier in seen:
                self.assertFalse(same(screen, earlier, STATUS_WORD), "the status line after the %s click" % hue)
            seen.append(screen)
        for slot, (_, hue) in enumerate(row):
            self.assertGreater(peg_pixels(screen, ROW1_SLOTS[slot], hue), 100, "the %s peg in its slot" % hue)
        game.save_screen("row.png", screen)

        # A row with all five colours scores each colour of the secret once, as an exact or a colour hit:
        # at least one count is no longer 0.
        for count in (EXACT_COUNT, COLOUR_COUNT):
            self.assertGreater(white_pixels(screen, count), 10, "both counts are drawn after a full row")
        self.assertFalse(same(screen, start, EXACT_COUNT) and same(screen, start, COLOUR_COUNT),
                         "a full row of all five colours scores at least one hit")

        lost = lose(game, cursor)
        game.save_screen("lost.png", lost)
        self.assertLess(changed_pixels(lost, start, rows_above_panel()), 20,
                        "a lost game moves every peg out of view: the rows above the panel are empty")
        cursor.move_to(*EXIT)
        driver.press_until(lambda: not game.running(), 10, what="ESCI to end the program")
        self.assertEqual(game.wait_exit(0), 0, "ESCI ends the program with code 0")

    def test_a_new_game_after_a_lost_one_starts_from_an_empty_board(self):
        game = start_game(self, "lost")
        start = game.screenshot()
        cursor = Cursor()
        lose(game, cursor)
        cursor.move_to(*NEW_GAME)
        driver.press_until(lambda: not solution_shown(game.screenshot()), 5, what="the panel going away")
        # The cursor leaves the panel's place, so that the board there is seen as at the start.
        cursor.move_to(*RED)
        fresh = game.wait_screen(lambda s: changed_pixels(s, start, CURSOR_AT_NEW_GAME) == 0, 5,
                                 what="the cursor leaving NUOVA")
        game.save_screen("new-game.png", fresh)
        self.assertLess(changed_pixels(fresh, start, solution_panel()[0]), 20,
                        "where the panel stood, the board is as empty as at the start")
        self.assertTrue(same(fresh, start, EXACT_COUNT) and same(fresh, start, COLOUR_COUNT), "both counts 0")

        # Colour clicks are accepted again, and the count of placed pegs starts over: the next peg takes
        # the first row's first slot, and the game is not lost again.
        screen = place(game, cursor, RED, ROW1_SLOTS[0], "red")
        self.assertLess(peg_pixels(screen, ROW1_SLOTS[1], "red"), 20, "one peg only")
        self.assertFalse(solution_shown(screen))
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)

    def test_help_shows_the_instructions_and_a_key_hides_them(self):
        game = start_game(self, "help")
        cursor = Cursor()
        cursor.move_to(*HELP)
        box, picture = driver.gui_as_drawn("ISTRUZIONI.png", 512, 230)
        inner = (60, 30, picture.width - 60, picture.height - 30)

        def shown(screen):
            return driver.matches(screen.crop(box).crop(inner), picture.crop(inner), 30)

        # Each click toggles the instructions. A loaded machine can stall a frame across a whole click,
        # so the game may miss it or see it twice; a player clicks again, and so does the test.
        for attempt in range(3):
            driver.click()
            try:
                game.wait_screen(shown, 4, what="the instructions")
                break
            except TimeoutError:
                if attempt == 2:
                    raise
        # With the instructions shown, Esc only hides them: the game plays on, and a colour click places
        # a peg.
        game.key("Escape")
        hidden = game.wait_screen_or_exit(lambda s: not shown(s), 5, what="the instructions going away")
        self.assertIsNotNone(hidden, "Esc with the instructions shown must not end the game")
        place(game, cursor, RED, ROW1_SLOTS[0], "red")
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
