"""The layer check on small trees of its own: each way a lower layer can reach upward is caught, and what
is allowed passes."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "scripts"))
import check_layers  # noqa: E402

# A tree that keeps the order, with the known reaches declared where the real one declares them.
CLEAN_TREE = {
    "game/game.h": "extern int g_PegCount;\n",
    "game/rules.cpp": '#include "game/game.h"\nint g_PegCount = 0;\n',
    "game/static_objects.cpp": (
        '#include "game/game.h"\n#include "input/input.h"\n\n'
        "CKeyboard g_Keyboard;\nCMouse g_Mouse;\nValueListNode* g_ValueList = InitValueList();\n"
        "CCamera g_Camera;\nCFrame g_Pegs[kPegCount];\n"),
    "input/input.h": '#include "services/services.h"\nextern CKeyboard g_Keyboard;\nextern CMouse g_Mouse;\n',
    "services/services.h": "extern ValueListNode* g_ValueList;\nextern int g_FPS;\n",
    "services/timing.cpp": '#include "services.h"\nint g_FPS = 0;\n',
    "scene/camera.h": "extern CCamera g_Camera;\n",
    "scene/frame.cpp": '#include "scene/camera.h"\n#include <collision/collision.h>\n#include <d3dx9.h>\n',
    "platform/platform.h": 'extern "C" const GUID TID_D3DRMMesh; // the system\'s\n',
    "shell/main/winmain.cpp": '#include "../shell.h"\n#include "game/game.h"\n',
    "shell/shell.h": "extern BYTE g_bShowLogo;\n",
    "shell/stages.cpp": "BYTE g_bShowLogo = 1;\n",
    "CMakeLists.txt": (
        "set(PLATFORM_LIBS d3d9 dinput8)\n"
        "target_link_libraries(platform PUBLIC ${PLATFORM_LIBS}) # game, in a comment\n"
        "target_link_libraries(game PUBLIC ui scene input services)\n"),
    "collision/CMakeLists.txt": "target_link_libraries(scene PUBLIC CD)\n",
    "tests/CMakeLists.txt": "target_link_libraries(test_harness PUBLIC shell)\n",
    # A build folder's copies are not the repository's.
    "build/CMakeCache.txt": "",
    "build/CMakeLists.txt": "target_link_libraries(services PUBLIC game)\n",
}


class TreeTestCase(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.addCleanup(self.scratch.cleanup)
        self.saved_root = check_layers.ROOT
        self.addCleanup(setattr, check_layers, "ROOT", self.saved_root)
        check_layers.ROOT = pathlib.Path(self.scratch.name)
        for path, text in CLEAN_TREE.items():
            self.write(path, text)

    def write(self, path, text, append=False):
        target = check_layers.ROOT / path
        target.parent.mkdir(parents=True, exist_ok=True)
        with open(target, "a" if append else "w") as out:
            out.write(text)

    def breaches(self):
        return (check_layers.include_breaches() + check_layers.link_breaches()
                + check_layers.global_object_breaches())



class CleanTreeTest(TreeTestCase):
    def test_clean_tree_passes(self):
        self.assertEqual([], self.breaches())


class IncludeTest(TreeTestCase):
    def test_angle_bracket_include_of_a_higher_layer_fails(self):
        self.write("scene/frame.cpp", "#include <game/game.h>\n", append=True)
        self.assertEqual(["scene/frame.cpp includes game/game.h, from game/"], self.breaches())

    def test_parent_path_is_resolved_from_the_including_file(self):
        self.write("scene/frame.cpp", '#  include "../game/game.h"\n', append=True)
        self.write("services/timing.cpp", '#include "services/../input/input.h"\n', append=True)
        self.assertCountEqual(["scene/frame.cpp includes ../game/game.h, from game/",
                               "services/timing.cpp includes services/../input/input.h, from input/"],
                              self.breaches())

    def test_side_by_side_layers_do_not_include_each_other(self):
        self.write("ui/button.cpp", '#include "scene/camera.h"\n')
        self.assertEqual(["ui/button.cpp includes scene/camera.h, from scene/"], self.breaches())

    def test_commented_include_is_not_read(self):
        self.write("scene/frame.cpp", '// #include "game/game.h"\n/*\n#include <shell/shell.h>\n*/\n',
                   append=True)
        self.assertEqual([], self.breaches())


class LinkLineTest(TreeTestCase):
    def test_link_line_in_any_cmake_file_is_read(self):
        self.write("tests/CMakeLists.txt", "target_link_libraries(services PUBLIC game)\n", append=True)
        self.write("cmake/Extra.cmake", "TARGET_LINK_LIBRARIES(CD PRIVATE\n    $<LINK_ONLY:scene>)\n")
        self.assertCountEqual(["cmake/Extra.cmake: CD links scene, not below it",
                               "tests/CMakeLists.txt: services links game, not below it"], self.breaches())

    def test_variables_and_loops_are_expanded(self):
        self.write("bench/CMakeLists.txt", "set(HIGHER ui)\nforeach(lib input scene)\n"
                   "    target_link_libraries(${lib} PRIVATE ${HIGHER})\nendforeach()\n")
        self.assertEqual(["bench/CMakeLists.txt: input links ui, not below it",
                          "bench/CMakeLists.txt: scene links ui, not below it"], self.breaches())


class ExternObjectTest(TreeTestCase):
    def test_new_static_object_used_below_fails(self):
        self.write("game/static_objects.cpp", "CFrame g_BoardFrame;\n", append=True)
        self.write("scene/frame.h", "extern CFrame g_BoardFrame;\n")
        self.assertEqual(["scene/frame.h declares g_BoardFrame, defined in game, above scene"],
                         self.breaches())

    def test_extern_inside_a_function_fails(self):
        self.write("services/timing.cpp",
                   "int Pegs() {\n    extern int g_PegCount;\n    return g_PegCount;\n}\n", append=True)
        self.assertEqual(["services/timing.cpp declares g_PegCount, defined in game, above services"],
                         self.breaches())

    def test_higher_objects_declared_by_the_ui_fail_known_reaches_too(self):
        self.write("ui/font.h", "extern int g_Unused, g_FPS;\nextern BYTE g_bShowLogo;\n"
                   "extern CCamera g_Camera;\n")
        self.assertEqual(["ui/font.h declares g_bShowLogo, defined in shell, above ui",
                          "ui/font.h declares g_Camera, defined in game, above ui"], self.breaches())

    def test_known_reach_no_longer_defined_there_fails(self):
        self.write("game/static_objects.cpp", "CKeyboard g_Keyboard;\nCMouse g_Mouse;\nCCamera g_Camera;\n")
        self.write("services/value_list.cpp", "ValueListNode* g_ValueList = InitValueList();\n")
        self.assertEqual(
            ["game/static_objects.cpp no longer defines g_ValueList: drop it from the known reaches"],
            self.breaches())


if __name__ == "__main__":
    unittest.main()
