#!/usr/bin/env python3
"""Checks that the code's layers build one way. Every #include ("..." or <...>, a ../ path resolved from
the including file) that reaches a layer's folder names one at or below the including layer; every
target_link_libraries of a layer's library, in any CMake file of the repository, names only layers below
it; and every object a layer declares extern is defined in that layer or below (or in no layer: the
system's), but for the few objects of game/static_objects.cpp listed in KNOWN_REACHES. Given a configured build folder it also asks
cmake --graphviz for the link graph and looks for cycles (not under CTest: it configures that folder
again). Prints what it finds and exits 1 on any breach."""
import os
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
# The collision layer's library is the DLL "CD".
LIBRARY_LAYER = {"CD": "collision"}
SOURCE_SUFFIXES = {".h", ".hh", ".hpp", ".inl", ".c", ".cc", ".cpp", ".cxx", ".rc"}

# The program's static objects are defined together in game/static_objects.cpp, for their order of
# construction, yet lower layers use some of them: each name here, with the one layer that declares it.
STATIC_OBJECTS = pathlib.Path("game/static_objects.cpp")
KNOWN_REACHES = {
    "g_Keyboard": "input",
    "g_Mouse": "input",
    "g_Camera": "scene",
    "g_ValueList": "services",
}


def layer_sources():
    for layer in BELOW:
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix in SOURCE_SUFFIXES and path.is_file():
                yield layer, path


def layer_of(path):
    """The layer whose folder holds the path, or None outside the layers."""
    try:
        parts = pathlib.Path(os.path.normpath(path)).relative_to(ROOT).parts
    except ValueError:
        return None
    return parts[0] if parts and parts[0] in BELOW else None


def blank(text):
    return re.sub(r"[^\n]", " ", text)


def strip_comments(text, blank_strings=False):
    """The text with comments (and, if asked, the insides of string and character literals, raw ones too)
    turned to spaces, line breaks kept, so that what remains is code at the same lines."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(blank(text[i:end]))
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(blank(text[i:end]))
        elif text.startswith('R"', i) and not (i and (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            close = text.find(")" + text[i + 2:open_paren] + '"', open_paren) if open_paren >= 0 else -1
            end = n if close < 0 else close + open_paren - i
            out.append('R"' + blank(text[i + 2:end - 1]) + '"' if blank_strings else text[i:end])
        elif c in "\"'":
            end = i + 1
            while end < n and text[end] not in (c, "\n"):
                end += 2 if text[end] == "\\" else 1
            end = min(end + 1, n)
            out.append(c + blank(text[i + 1:end - 1]) + c if blank_strings else text[i:end])
        else:
            end = i + 1
            out.append(c)
        i = end
    return "".join(out)


INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"\n]+)[>"]', re.MULTILINE)


def included_path(path, bracket, spelled):
    """Where the compiler finds the header: a quoted name beside the including file first, then under the
    repository's root (the one include folder of every layer); an angle-bracket name under the root."""
    from_root = ROOT / spelled
    if bracket == '"':
        beside = path.parent / spelled
        if beside.exists() or (spelled.startswith(".") and not from_root.exists()):
            return beside
    return from_root


def include_breaches():
    breaches = []
    for layer, path in layer_sources():
        code = strip_comments(path.read_text(errors="replace"))
        for bracket, spelled in INCLUDE.findall(code):
            folder = layer_of(included_path(path, bracket, spelled.strip()))
            if folder and folder != layer and folder not in BELOW[layer]:
                breaches.append(f"{path.relative_to(ROOT)} includes {spelled.strip()}, from {folder}/")
    return breaches


def cmake_files():
    """Every CMakeLists.txt and .cmake file of the repository, build folders and hidden ones left out."""
    for folder, subfolders, files in os.walk(ROOT):
        subfolders[:] = sorted(d for d in subfolders if not d.startswith(".")
                               and not (pathlib.Path(folder) / d / "CMakeCache.txt").exists())
        for name in sorted(files):
            if name == "CMakeLists.txt" or name.endswith(".cmake"):
                yield pathlib.Path(folder) / name


CMAKE_COMMAND = re.compile(r"\b(\w+)\s*\(")


def cmake_commands(text):
    """The commands of a CMake file as (lowercase name, argument text), comments left out."""
    text = re.sub(r"#\[(=*)\[.*?\]\1\]", " ", text, flags=re.DOTALL)
    text = re.sub(r'#[^\n]*|"(?:[^"\\]|\\.)*"', lambda m: m.group(0) if m.group(0)[0] == '"' else " ", text)
    pos = 0
    while True:
        m = CMAKE_COMMAND.search(text, pos)
        if not m:
            return
        depth, end = 1, m.end()
        while end < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[end], 0)
            end += 1
        yield m.group(1).lower(), text[m.end():end - 1]
        pos = end


def expand(args, variables):
    for _ in range(8):
        args = re.sub(r"\$\{(\w+)\}", lambda m: variables.get(m.group(1), m.group(0)), args)
    return args


def link_lines(commands, variables):
    """(target, linked names) of every target_link_libraries, with set() variables and foreach() loops
    expanded; a target named by a variable that is not known here (a function's parameter) is left out."""
    commands = list(commands)
    i = 0
    while i < len(commands):
        name, args = commands[i]
        if name == "set":
            words = args.split()
            if words:
                variables[words[0]] = " ".join(w for w in words[1:] if w not in ("CACHE", "PARENT_SCOPE"))
        elif name == "foreach":
            depth, end = 1, i + 1
            while end < len(commands) and depth:
                depth += {"foreach": 1, "endforeach": -1}.get(commands[end][0], 0)
                end += 1
            words = args.split()
            if words:
                lists = words.index("LISTS") if "LISTS" in words else len(words)
                items = expand(" ".join(words[1:lists]), variables).split()
                items += expand(" ".join(f"${{{w}}}" for w in words[lists + 1:]), variables).split()
                for item in (w for w in items if w not in ("IN", "ITEMS")):
                    yield from link_lines(commands[i + 1:end - 1], dict(variables, **{words[0]: item}))
            i = end
            continue
        elif name == "target_link_libraries":
            words = expand(args, variables).split()
            if words:
                yield words[0], re.findall(r"[A-Za-z_][\w.-]*", " ".join(words[1:]))
        i += 1


def link_breaches():
    breaches = []
    variables = {}  # the top folder's first, as a subfolder inherits them
    for cmake_file in cmake_files():
        for target, linked in link_lines(cmake_commands(cmake_file.read_text(errors="replace")), variables):
            lib = LIBRARY_LAYER.get(target, target)
            if lib not in BELOW:
                continue
            for other in linked:
                name = LIBRARY_LAYER.get(other, other)
                if name in BELOW and name != lib and name not in BELOW[lib]:
                    breaches.append(f"{cmake_file.relative_to(ROOT)}: {target} links {other}, not below it")
    return breaches


def has_initialiser(head):
    """Whether a statement's text so far holds an = of its own, not one inside parentheses (a default
    argument) or of an operator's name."""
    bare = re.sub(r"operator\s*[^\w\s(]*", "operator", head)
    while re.search(r"\([^()]*\)", bare):
        bare = re.sub(r"\([^()]*\)", "", bare)
    return "=" in bare


def file_scope_statements(code):
    """The statements at file scope (namespaces and extern "C" blocks count as file scope), the bodies of
    the classes and functions they hold left out; a function's definition ends its statement."""
    statement = []
    i = 0
    while i < len(code):
        c = code[i]
        if c == "{":
            head = "".join(statement).strip()
            if re.fullmatch(r"(inline\s+)?namespace\b[\w:\s]*|extern\s*\"\"", head):
                statement = []
                i += 1
                continue
            depth, end = 1, i + 1
            while end < len(code) and depth:
                depth += {"{": 1, "}": -1}.get(code[end], 0)
                end += 1
            # ") {", ") const {", ") -> T {", ") : member(x) {": a function's body.
            if not has_initialiser(head) and re.search(r"\)[\w\s]*$|\)\s*(->|:).*$", head, re.DOTALL):
                statement = []
            else:
                statement.append(" {} ")
            i = end
            continue
        if c == "}":
            statement = []
        elif c == ";":
            yield "".join(statement)
            statement = []
        else:
            statement.append(c)
        i += 1


def split_top_level(text, separator):
    parts, depth, start = [], 0, 0
    for i, c in enumerate(text):
        if c in "([{<":
            depth += 1
        elif c in ")]}>":
            depth -= 1
        elif c == separator and depth == 0:
            parts.append(text[start:i])
            start = i + 1
    return parts + [text[start:]]


NOT_OBJECTS = {"typedef", "using", "class", "struct", "enum", "union", "template", "static_assert", "friend",
               "namespace", "return"}


def declarators(statement):
    """(name, whether it is only declared, whether it is a function) for each name a statement brings in.
    A definition here may also be a function's prototype: definitions only ever clear a declaration."""
    code = re.sub(r'\bextern\s*""', "extern", statement).strip()
    words = code.split()
    is_extern = bool(words) and words[0] == "extern"
    if is_extern:
        words = words[1:]
    if not words or words[0] in NOT_OBJECTS:
        return
    for part in split_top_level(code, ","):
        pieces = split_top_level(part, "=")
        head = pieces[0]
        braced = re.search(r"\{\s*\}\s*$", head)
        declaration = is_extern and len(pieces) == 1 and not braced
        if braced:
            head = head[:braced.start()]
        reference = re.search(r"\(\s*[*&]+\s*(?:const\s+)?(\w+)\s*\)", head)
        if reference:
            yield reference.group(1), declaration, False
            continue
        names = re.findall(r"[A-Za-z_]\w*", re.sub(r"\(.*|\[.*?\]", " ", head, flags=re.DOTALL))
        if names:
            yield names[-1], declaration, "(" in head


EXTERN = re.compile(r'\bextern\b(?!\s*""\s*\{)[^;{}]*;')


def global_object_breaches():
    """Every object a layer declares extern is defined in that layer or below it (or by no layer: the
    system's), but for the known reaches into game/static_objects.cpp, each declared by its own layer."""
    defined, declared, static_objects = {}, [], set()
    for layer, path in layer_sources():
        code = strip_comments(path.read_text(errors="replace"), blank_strings=True)
        code = re.sub(r"^[ \t]*#.*(?:\\\n.*)*", " ", code, flags=re.MULTILINE)
        for statement in file_scope_statements(code):
            for name, declaration, _ in declarators(statement):
                if not declaration:
                    defined.setdefault(name, set()).add(layer)
                    if path.relative_to(ROOT) == STATIC_OBJECTS:
                        static_objects.add(name)
        # Inside a function too: an extern there reaches as far as one at file scope.
        for m in EXTERN.finditer(code):
            for name, declaration, is_function in declarators(m.group(0)[:-1]):
                if declaration and not is_function:
                    declared.append((layer, path.relative_to(ROOT), name))
    breaches = [f"{STATIC_OBJECTS} no longer defines {name}: drop it from the known reaches"
                for name in sorted(set(KNOWN_REACHES) - static_objects)]
    for layer, path, name in declared:
        where = defined.get(name, set())
        if not where or where & (BELOW[layer] | {layer}):
            continue
        if KNOWN_REACHES.get(name) == layer and name in static_objects:
            continue
        breaches.append(f"{path} declares {name}, defined in {', '.join(sorted(where))}, above {layer}")
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
    failures = include_breaches() + link_breaches() + global_object_breaches()
    if len(sys.argv) > 1:
        cycles, graph = link_cycles(sys.argv[1])
        for lib in sorted(graph):
            print(f"{lib} links {' '.join(sorted(graph[lib]))}")
        failures += [f"link cycle: {c}" for c in cycles]
    return report(failures, "breaches of the layer order")


def report(failures, summary):
    """Prints each failure and a count; the exit code: 1 if there is any."""
    for failure in failures:
        print(failure)
    print(f"{len(failures)} {summary}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
