"""The format check on a small tree of its own, with the repository's .clang-format: each file that
clang-format would change is named, and only those."""
import pathlib
import shutil
import sys
import tempfile
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "scripts"))
import check_format  # noqa: E402

FORMATTED = "int Sum(int a, int b) {\n    return a + b;\n}\n"
OUT_OF_FORMAT = "int Sum(int a,int b){return a+b;}\n"


@unittest.skipUnless(shutil.which("clang-format"), "clang-format is not installed")
class FormatCheckTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.root = pathlib.Path(scratch.name)
        shutil.copy(REPOSITORY / ".clang-format", self.root / ".clang-format")

    def write(self, path, text):
        target = self.root / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text)

    def test_only_the_files_out_of_format_are_named(self):
        self.write("game/rules.cpp", FORMATTED)
        self.write("game/rules.h", OUT_OF_FORMAT)
        self.write("tools/assetgen/canvas.cpp", OUT_OF_FORMAT)
        self.write("tests/ui/button_test.cpp", FORMATTED)
        self.write("scripts/notes.txt", OUT_OF_FORMAT)
        # A build folder's and a hidden folder's files are not the repository's.
        self.write("build/CMakeCache.txt", "")
        self.write("build/generated.cpp", OUT_OF_FORMAT)
        self.write(".git/hook.cpp", OUT_OF_FORMAT)
        self.assertEqual(["game/rules.h", "tools/assetgen/canvas.cpp"],
                         check_format.unformatted(self.root, shutil.which("clang-format")))

    def test_a_formatted_tree_passes(self):
        self.write("game/rules.cpp", FORMATTED)
        self.assertEqual([], check_format.unformatted(self.root, shutil.which("clang-format")))


if __name__ == "__main__":
    unittest.main()
