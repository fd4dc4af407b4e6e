"""The picture-load check on small trees of its own: a platform picture loader named anywhere in the
program but the checked loaders is found, and what is no such call passes."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "scripts"))
import check_layers  # noqa: E402
import check_picture_loads  # noqa: E402

CLEAN_TREE = {
    "services/picture_file.cpp": (
        "HRESULT CheckedCreateTextureFromFile(IDirect3DDevice9* d, const char* p, IDirect3DTexture9** t) {\n"
        "    return D3DXCreateTextureFromFileA(d, p, t);\n}\n"
        "HBITMAP CheckedLoadBitmapFile(const char* p) { return (HBITMAP)LoadImageA(0, p, 0, 0, 0, 0); }\n"),
    "game/play_screen.cpp": (
        "// Never D3DXCreateTextureFromFileA: the checked loaders instead.\n"
        'const char* kWhy = "D3DXCreateTextureFromFileA";\n'
        "void Load() { CheckedCreateTextureFromFile(g_pd3dDevice, path, &texture); }\n"),
    "ui/button.cpp": 'void CButton::LoadImages(const char* file) { LoadSpriteTexture(file, &pUpTexture); }\n',
    "scene/effect.cpp": "hr = D3DXCreateEffectFromFileA(device, file, 0, 0, flags, 0, &effect, &errors);\n",
    # The tests and the tools are not the program; a build folder's copies are not the repository's.
    "tests/shell/stages_test.cpp": "D3DXLoadSurfaceFromFileA(surface, 0, 0, path, 0, 0, 0, 0);\n",
    "tools/assetgen/main.cpp": "// writes what LoadImageA reads\nLoadImageA();\n",
    "build/CMakeCache.txt": "",
    "build/generated/copy.cpp": "D3DXCreateTextureFromFileA(d, p, t);\n",
}


class PictureLoadTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.addCleanup(setattr, check_layers, "ROOT", check_layers.ROOT)
        check_layers.ROOT = pathlib.Path(scratch.name)
        for path, text in CLEAN_TREE.items():
            self.write(path, text)

    def write(self, path, text):
        target = check_layers.ROOT / path
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_text(text)

    def found(self):
        return check_picture_loads.stray_picture_loads()

    def test_clean_tree_passes(self):
        self.assertEqual([], self.found())

    def test_every_picture_loader_outside_the_checked_ones_is_found_with_its_line(self):
        self.write("shell/stages.cpp", "void A() {\n    D3DXCreateTextureFromFileA(d, p, t);\n}\n")
        self.write("scene/mesh_loader.cpp", "D3DXCreateVolumeTextureFromFileExA(d, p);\nLoadImageW(0);\n")
        self.write("bench/bench.cpp", "D3DXCreateTextureFromFileInMemoryEx(d, bytes, size);\n")
        self.write("extra/new_layer.h", "#define LOAD D3DXGetImageInfoFromFileA\n")
        self.write("ui/cube.cpp", "D3DXCreateCubeTextureFromFileA(d, p, t); D3DXLoadVolumeFromFileW(v);\n")
        self.assertCountEqual([
            "bench/bench.cpp:1: D3DXCreateTextureFromFileInMemoryEx",
            "extra/new_layer.h:1: D3DXGetImageInfoFromFileA",
            "scene/mesh_loader.cpp:1: D3DXCreateVolumeTextureFromFileExA",
            "scene/mesh_loader.cpp:2: LoadImageW",
            "shell/stages.cpp:2: D3DXCreateTextureFromFileA",
            "ui/cube.cpp:1: D3DXCreateCubeTextureFromFileA",
            "ui/cube.cpp:1: D3DXLoadVolumeFromFileW",
        ], [place.split(" outside")[0] for place in self.found()])


if __name__ == "__main__":
    unittest.main()
