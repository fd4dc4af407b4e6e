#!/usr/bin/env python3
"""Checks that every C and C++ file of the repository is formatted as its .clang-format says: runs
clang-format over them and names each file whose text it would change. Build folders and hidden ones
are left out. Exits 1 if any file would change, 2 if clang-format cannot be run."""
import os
import pathlib
import re
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SUFFIXES = {".h", ".hh", ".hpp", ".inl", ".c", ".cc", ".cpp", ".cxx"}
VIOLATION = re.compile(r"^(.+?):\d+:\d+: (?:warning|error): code should be clang-formatted", re.MULTILINE)


def sources(root):
    for folder, subfolders, files in os.walk(root):
        here = pathlib.Path(folder)
        subfolders[:] = sorted(d for d in subfolders if not d.startswith(".")
                               and not (here / d / "CMakeCache.txt").exists())
        for name in sorted(files):
            if pathlib.Path(name).suffix in SUFFIXES:
                yield here / name


def unformatted(root, clang_format):
    """The files under root, relative to it, that clang-format would change."""
    paths = [str(p) for p in sources(root)]
    if not paths:
        return []
    result = subprocess.run([clang_format, "--dry-run", "--style=file", *paths], capture_output=True,
                            text=True, check=False)
    if result.returncode != 0 and not VIOLATION.search(result.stderr):
        raise RuntimeError(result.stderr.strip() or f"{clang_format} exited with {result.returncode}")
    found = {pathlib.Path(p).resolve() for p in VIOLATION.findall(result.stderr)}
    return sorted(str(p.relative_to(root.resolve())) for p in found)


def main():
    clang_format = shutil.which("clang-format")
    if not clang_format:
        print("clang-format is not installed: ./scripts/test.sh installs it (Debian's clang-format)")
        return 2
    differ = unformatted(ROOT, clang_format)
    for path in differ:
        print(f"{path} differs from .clang-format: clang-format -i {path}")
    print(f"{len(differ)} files out of format")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
