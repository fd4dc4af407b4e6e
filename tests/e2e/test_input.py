"""The mouse and the keyboard as the player meets them on the title screen: the drawn cursor follows
relative motion within its range, and Space starts the game."""
import os
import unittest

from PIL import Image, ImageChops, ImageStat

import driver
from driver import Game

# A pixel belongs to the cursor when it differs this much from the screen without it.
CHANGE_THRESHOLD = 16
STEP = 100  # xdotool's relative motion, in steps the game takes one to one


def cursor_picture():
    picture = Image.open(os.path.join(driver.GAME_DIR, "Immagini", "Mouse", "cursore.bmp")).convert("RGB")
    # Opaque black is the colour key: only the other pixels are drawn.
    mask = Image.new("L", picture.size)
    mask.putdata([0 if p == (0, 0, 0) else 255 for p in picture.getdata()])
    return picture, mask


def move(dx, dy):
    while dx or dy:
        sx = max(-STEP, min(STEP, dx))
        sy = max(-STEP, min(STEP, dy))
        driver.xdotool("mousemove_relative", "--", sx, sy)
        dx -= sx
        dy -= sy


def changed_box(before, after):
    """The box of the pixels that differ between two screenshots, or None."""
    diff = ImageChops.difference(before, after).convert("L")
    return diff.point(lambda v: 255 if v > CHANGE_THRESHOLD else 0).getbbox()


def locate_cursor(clean, shot, box, search=6):
    """Where the cursor picture, laid over the screen without it, best explains the changed box."""
    picture, mask = cursor_picture()
    left, top = max(0, box[0] - search - 4), max(0, box[1] - search - 4)
    right, bottom = min(clean.width, box[2] + search + 36), min(clean.height, box[3] + search + 36)
    background = clean.crop((left, top, right, bottom))
    seen = shot.crop((left, top, right, bottom))
    best = None
    for y in range(max(0, box[1] - search), box[1] + search + 1):
        for x in range(max(0, box[0] - search), box[0] + search + 1):
            expected = background.copy()
            expected.paste(picture, (x - left, y - top), mask)
            error = sum(ImageStat.Stat(ImageChops.difference(seen, expected)).mean)
            if best is None or error < best[0]:
                best = (error, x, y)
    return best[1], best[2]


def near(position, x, y, slack=1):
    return abs(position[0] - x) <= slack and abs(position[1] - y) <= slack


class InputTest(unittest.TestCase):
    def tearDown(self):
        if getattr(self, "game", None):
            self.game.stop()

    def test_cursor_follows_the_mouse_within_its_range_and_space_starts(self):
        game = self.game = Game("input").start()
        game.answer_question(yes=False)
        game.wait_window()
        driver.wait_for(lambda: driver.title_shown(game.screenshot()), 20, what="the title screen")
        first = game.screenshot()

        # Far past the right and bottom edges the cursor stops at (1279, 1023), out of sight: what is
        # left is the title screen without the cursor.
        move(2000, 2000)

        def cursor_gone():
            shot = game.screenshot()
            box = changed_box(first, shot)
            return shot if box and box[2] <= 34 and box[3] <= 34 else None

        clean = driver.wait_for(cursor_gone, 10, what="the cursor leaving the top-left corner")
        start = locate_cursor(clean, first, changed_box(clean, first))
        self.assertTrue(near(start, 0, 0), "the cursor starts at the top-left corner: %s" % (start,))

        def cursor_at(x, y):
            def found():
                shot = game.screenshot()
                box = changed_box(clean, shot)
                return box and near(locate_cursor(clean, shot, box), x, y)
            driver.wait_for(found, 10, what="the cursor at (%d, %d)" % (x, y))

        # Back from the clamped corner, one to one.
        move(-400, -400)
        cursor_at(879, 623)

        # Past the top-left corner the cursor stops at (0, 0), so the way back starts from there.
        move(-2000, -2000)
        cursor_at(0, 0)
        move(100, 50)
        cursor_at(100, 50)

        game.key("space")
        loading = driver.splash_as_drawn("Loading.jpg")
        driver.wait_for(lambda: driver.matches(game.screenshot(), loading), 10, what="the loading picture")
        game.key("Escape")
        self.assertEqual(game.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
