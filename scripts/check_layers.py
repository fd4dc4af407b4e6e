#!/usr/bin/env python3
"""Checks that the code's layers build one way: every #include of a project header names a folder at or
below the including one, and each library's link line in the CMake files names only layers below it.
Given a configured build folder it also asks cmake --graphviz for the link graph and looks for cycles
(not under CTest: it configures that folder again). Prints what it finds and exits 1 on any breach."""
import pathlib
import re
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
# Each layer and the folders it may include from (itself and everything below it).
BELOW = {
    "platform": set(),
    "services": {"platform"},
    "input": {"services", "platform"},
    "ui": {"input", "services", "platform"},
    "scene": {"services", "platform", "collision"},
    "game": {"ui", "scene", "input", "services", "platform", "collision"},
    "shell": {"game", "ui", "scene", "input", "services", "platform", "collision"},
    "collision": set(),
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def include_breaches():
    breaches = []
    for layer, allowed in BELOW.items():
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".rc"):
                continue
            for folder in INCLUDE.findall(path.read_text(errors="replace")):
                if folder != layer and folder in BELOW and folder not in allowed:
                    breaches.append(f"{path.relative_to(ROOT)} includes {folder}/")
    return breaches


LINK = re.compile(r"target_link_libraries\((\w+)\s+(?:PUBLIC|PRIVATE|INTERFACE)?([^)]*)\)")


def link_breaches():
    breaches = []
    for cmake_file in (ROOT / "CMakeLists.txt", ROOT / "collision" / "CMakeLists.txt"):
        for lib, linked in LINK.findall(cmake_file.read_text()):
            if lib not in BELOW:
                continue
            for other in linked.split():
                name = "collision" if other == "CD" else other
                if name in BELOW and name != lib and name not in BELOW[lib]:
                    breaches.append(f"{cmake_file.relative_to(ROOT)}: {lib} links {other}, which is not below it")
    return breaches


def link_cycles(build_dir):
    with tempfile.TemporaryDirectory() as scratch:
        dot = pathlib.Path(scratch) / "deps.dot"
        subprocess.run(["cmake", f"--graphviz={dot}", "."], cwd=build_dir, check=True,
                       stdout=subprocess.DEVNULL)
        text = dot.read_text()
    names = dict(re.findall(r'"(node\d+)" \[ label = "([^"\\]+)', text))
    own = set(BELOW) | {"CD", "Quorvantis3D"}
    graph = {}
    for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
        if names.get(a) in own and names.get(b) in own:
            graph.setdefault(names[a], set()).add(names[b])
    cycles = []

    def visit(node, path):
        for nxt in sorted(graph.get(node, ())):
            if nxt in path:
                cycles.append(" -> ".join(path[path.index(nxt):] + [nxt]))
            elif len(path) < len(own):
                visit(nxt, path + [nxt])

    for start in sorted(graph):
        visit(start, [start])
    return sorted(set(cycles)), graph


def main():
    failures = include_breaches() + link_breaches()
    if len(sys.argv) > 1:
        cycles, graph = link_cycles(sys.argv[1])
        for lib in sorted(graph):
            print(f"{lib} links {' '.join(sorted(graph[lib]))}")
        failures += [f"link cycle: {c}" for c in cycles]
    for failure in failures:
        print(failure)
    print(f"{len(failures)} breaches of the layer order")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
