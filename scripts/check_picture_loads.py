#!/usr/bin/env python3
"""Checks that the program reads every picture file through the services' checked loaders: outside
services/picture_file.cpp no source of the program names a platform function that reads a picture from
a file (D3DX's texture, surface, volume and image-information loaders from a file or from a file's bytes
in memory, and LoadImage). The tests and the native tools are not the program. Prints each place found
and exits 1 if there is any."""
import os
import pathlib
import re
import sys

import check_layers

CHECKED_LOADERS = pathlib.Path("services/picture_file.cpp")
NOT_THE_PROGRAM = {"tests", "tools"}
PICTURE_LOAD = re.compile(
    r"\b(D3DX(?:Create(?:Cube|Volume)?Texture|Load(?:Surface|Volume)|GetImageInfo)FromFile\w*"
    r"|LoadImage[AW]?)\b")


def program_sources():
    """Every C and C++ source of the repository but the tests' and the tools', build folders and hidden
    ones left out."""
    root = check_layers.ROOT
    for folder, subfolders, files in os.walk(root):
        here = pathlib.Path(folder)
        subfolders[:] = sorted(d for d in subfolders if not d.startswith(".")
                               and not (here == root and d in NOT_THE_PROGRAM)
                               and not (here / d / "CMakeCache.txt").exists())
        for name in sorted(files):
            path = here / name
            if path.suffix in check_layers.SOURCE_SUFFIXES:
                yield path


def stray_picture_loads():
    found = []
    for path in program_sources():
        relative = path.relative_to(check_layers.ROOT)
        if relative == CHECKED_LOADERS:
            continue
        code = check_layers.strip_comments(path.read_text(errors="replace"), blank_strings=True)
        for match in PICTURE_LOAD.finditer(code):
            line = code.count("\n", 0, match.start()) + 1
            found.append(f"{relative}:{line}: {match.group(1)} outside the checked loaders of {CHECKED_LOADERS}")
    return found


def main():
    return check_layers.report(stray_picture_loads(), "picture loads outside the checked loaders")


if __name__ == "__main__":
    sys.exit(main())
