"""Drives the built game under Wine on an X display as a player would: xdotool for keys and mouse,
ImageMagick's import for screenshots, PIL for comparing pixels."""
import functools
import os
import shutil
import subprocess
import time

from PIL import Image, ImageChops, ImageStat

GAME_DIR = os.environ.get("QUORVANTIS_GAME_DIR", "")
SCRATCH = os.environ.get("QUORVANTIS_SCRATCH", "/tmp/quorvantis-e2e")
WINE = os.environ.get("WINE_LOADER") or os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "wine.sh")
TITLE = "Quorvantis 3D - by VARNOX"
CLIENT_W, CLIENT_H = 1024, 768


def _env():
    env = dict(os.environ)
    # The end-to-end tests have a display and a Wine prefix of their own, so the unit tests' windows
    # never take the focus from the game.
    if os.environ.get("E2E_DISPLAY"):
        env["DISPLAY"] = os.environ["E2E_DISPLAY"]
    if os.environ.get("E2E_WINEPREFIX"):
        env["WINEPREFIX"] = os.environ["E2E_WINEPREFIX"]
    return env


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], env=_env(), capture_output=True, text=True, timeout=20)
    if check and result.returncode != 0:
        raise RuntimeError("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout.strip()


def find_windows(name):
    out = xdotool("search", "--onlyvisible", "--name", "^%s$" % name, check=False)
    return [int(w) for w in out.split()] if out else []


def wait_for(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise TimeoutError("timed out after %.1f s waiting for %s" % (timeout, what))


def mean_difference(a, b):
    """Mean absolute difference per channel, 0 (same) to 255."""
    diff = ImageChops.difference(a.convert("RGB"), b.convert("RGB"))
    return sum(ImageStat.Stat(diff).mean) / 3.0


class Game:
    """One run of the game in a scratch copy of the runnable folder."""

    def __init__(self, name, remove=(), spoil=None):
        self.root = os.path.join(SCRATCH, name)
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(os.path.join(self.root, "bin"))
        shutil.copy2(os.path.join(GAME_DIR, "bin", "Quorvantis3D.exe"), os.path.join(self.root, "bin"))
        # Data folders are copied so a test may remove or spoil a file without touching the build.
        for folder in ("Data", "Immagini", "Alfabeto"):
            source = os.path.join(GAME_DIR, folder)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(self.root, folder))
        for relative in remove:
            os.remove(os.path.join(self.root, relative))
        for relative, data in (spoil or {}).items():
            with open(os.path.join(self.root, relative), "wb") as f:
                f.write(data)
        self.process = None
        self.window = None
        self.full_screen = False

    @property
    def bin(self):
        return os.path.join(self.root, "bin")

    def start(self):
        self.log = open(os.path.join(self.root, "wine.log"), "wb")
        self.process = subprocess.Popen([WINE, "Quorvantis3D.exe"], cwd=self.bin, env=_env(),
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        return self

    def answer_question(self, yes=False):
        box = wait_for(lambda: find_windows("Apertura Applicazione"), 30, what="the full-screen question")[0]
        self.press_in(box, "y" if yes else "n")
        self.full_screen = yes

    def press_in(self, window, key):
        xdotool("windowactivate", "--sync", window, check=False)
        xdotool("windowfocus", "--sync", window, check=False)
        xdotool("key", "--window", window, key, check=False)
        xdotool("key", key, check=False)

    def wait_window(self, timeout=30):
        self.window = wait_for(lambda: find_windows(TITLE), timeout, what="the game window")[0]
        xdotool("windowactivate", "--sync", self.window, check=False)
        xdotool("windowfocus", "--sync", self.window, check=False)
        # A button released after an earlier game had ended never reached Wine, which still holds it
        # down; a click during the logo, when nothing reads the mouse yet, puts it up again.
        for button in (1, 2, 3):
            xdotool("click", button, check=False)
        return self.window

    def geometry(self):
        out = xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def client_box(self):
        """The client area on the screen: Wine draws the caption and borders inside its X window."""
        if self.full_screen:
            return 0, 0, CLIENT_W, CLIENT_H
        x, y, w, h = self.geometry()
        border = max(0, (w - CLIENT_W) // 2)
        top = max(0, h - CLIENT_H - border)
        return x + border, y + top, x + border + CLIENT_W, y + top + CLIENT_H

    def screenshot(self):
        path = os.path.join(self.root, "screen.png")
        subprocess.run(["import", "-window", "root", path], env=_env(), check=True, timeout=30)
        return Image.open(path).convert("RGB").crop(self.client_box())

    def wait_screen(self, predicate, timeout, interval=0.1, what="condition"):
        """The first screenshot for which the predicate holds."""
        def shown():
            screen = self.screenshot()
            return screen if predicate(screen) else None
        return wait_for(shown, timeout, interval, what)

    def wait_screen_or_exit(self, predicate, timeout, what="condition"):
        """The first screenshot for which the predicate holds, or None once the game has ended: a step
        that must leave the game running is told from one that ends it without a fixed wait."""
        def shown():
            if not self.running():
                return "ended"
            try:
                screen = self.screenshot()
            except RuntimeError:  # the window went away before the process did
                return None
            return screen if predicate(screen) else None
        result = wait_for(shown, timeout, what=what)
        return None if result == "ended" else result

    def save_screen(self, name, screen):
        """Keeps a stage's screen beside the run's files, for a person to look at."""
        screen.save(os.path.join(self.root, name))

    def key(self, key, hold=0.1):
        # Held as long as a player would: the game polls the keyboard once a frame, so a press and
        # release within one frame is never seen down. One xdotool run does both, so a loaded machine
        # starting a second process cannot stretch the hold.
        xdotool("keydown", key, "sleep", hold, "keyup", key)

    def keydown(self, key):
        xdotool("keydown", key)

    def keyup(self, key):
        xdotool("keyup", key)

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process is not None and self.process.poll() is None

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait(timeout=10)
        if getattr(self, "log", None):
            self.log.close()

    def file(self, name):
        with open(os.path.join(self.bin, name), "rb") as f:
            return f.read()


def splash_as_drawn(name):
    """A splash picture as the game draws it: 2048 x 1024 scaled by (0.5, 0.75) onto 1024 x 768."""
    picture = Image.open(os.path.join(GAME_DIR, "Immagini", name)).convert("RGB")
    return picture.resize((CLIENT_W, CLIENT_H), Image.BILINEAR)


def matches(screen, expected, tolerance=12.0):
    return mean_difference(screen, expected) < tolerance


SPLASHES = ("VARNOX_LOGO.jpg", "Title.jpg", "Loading.jpg")


@functools.lru_cache(maxsize=None)
def _splash(name):
    return splash_as_drawn(name)


def title_shown(screen):
    """Whether the screen shows the title picture. The Start and Exit buttons drawn over it call for a
    loose tolerance, within which the loading picture also lies: the title must also be the nearest of
    the splash pictures."""
    differences = {name: mean_difference(screen, _splash(name)) for name in SPLASHES}
    return differences["Title.jpg"] < 25 and min(differences, key=differences.get) == "Title.jpg"


class Cursor:
    """The game's own cursor, moved by relative motion; it starts at (0, 0) and is clamped there."""

    STEP = 100  # relative motion reaches the game one to one in steps of this size

    def __init__(self):
        self.x, self.y = 0, 0

    def home(self):
        self._move(-2000, -2000)
        self.x, self.y = 0, 0

    def move_to(self, x, y):
        self._move(x - self.x, y - self.y)
        self.x, self.y = x, y

    def _move(self, dx, dy):
        while dx or dy:
            sx = max(-self.STEP, min(self.STEP, dx))
            sy = max(-self.STEP, min(self.STEP, dy))
            xdotool("mousemove_relative", "--", sx, sy)
            dx -= sx
            dy -= sy
        time.sleep(0.1)


def region(image, box):
    return image.crop(box)


def button_as_drawn(name, x, y, scale=(0.5, 0.7)):
    """A button picture as the game draws it: top-left at (x, y) scaled, size scaled; returns the box
    on the screen and the expected picture (keyed black left out by the caller's choice of box)."""
    picture = Image.open(os.path.join(GAME_DIR, "Immagini", "Button", name)).convert("RGB")
    w, h = int(picture.width * scale[0]), int(picture.height * scale[1])
    left, top = int(x * scale[0]), int(y * scale[1])
    return (left, top, left + w, top + h), picture.resize((w, h), Image.BILINEAR)


def background_as_drawn():
    """The play screen's background: 1024 x 1024 scaled by (1.0, 0.75)."""
    picture = Image.open(os.path.join(GAME_DIR, "Immagini", "quorvantis_back.png")).convert("RGB")
    return picture.resize((CLIENT_W, CLIENT_H), Image.BILINEAR)


def on_play_screen(screen):
    """Whether a client-area screenshot shows the play screen: its background around the board and the
    red colour button. The last loading frames, drawn under the play screen's scaling, are mostly green
    felt too, so the background alone cannot tell them apart."""
    board = (150, 100, 760, 560)
    if not matches(screen.crop(board), background_as_drawn().crop(board), 10):
        return False
    box, picture = gui_as_drawn("red_butt.jpg", CLIENT_W * 2 // 100, CLIENT_H * 10 // 100)
    inner = (8, 8, picture.width - 8, picture.height - 8)
    return matches(screen.crop(box).crop(inner), picture.crop(inner), 25)


def gui_as_drawn(name, x, y, scale=(0.5, 0.7)):
    """A play-screen picture as drawn: its box on the screen and the picture at that size."""
    picture = Image.open(os.path.join(GAME_DIR, "Immagini", "GUI", name)).convert("RGB")
    w, h = int(picture.width * scale[0]), int(picture.height * scale[1])
    left, top = int(x * scale[0]), int(y * scale[1])
    return (left, top, left + w, top + h), picture.resize((w, h), Image.BILINEAR)


def click(button=1, hold=0.12):
    """A click as a player makes it: the button stays down for several frames, and well under the 200 ms
    after which a held button clicks again. The game reads the mouse once a frame, so it misses a click
    that a loaded machine's frame outlasts; one xdotool run presses and releases, so the hold does not
    grow by the time a loaded machine takes to start a second process."""
    xdotool("mousedown", button, "sleep", hold, "mouseup", button)


def press_until(predicate, timeout, what):
    """A click no frame can miss, for a button whose effect cannot come twice (the exits, Start, a new
    game): the left button stays down until the effect shows, however long the frames take, then goes up.
    The predicate's first true value."""
    xdotool("mousedown", 1)
    try:
        return wait_for(predicate, timeout, what=what)
    finally:
        xdotool("mouseup", 1)
