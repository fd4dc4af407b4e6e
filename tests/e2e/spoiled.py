"""The spoiled picture kinds: the files that crashed or held the platform's picture loaders, whatever the
name they stood under (D3DX tells a picture by its content, not its name). The fuzz corpus writer
(tests/fuzz/corpus_writer.cpp, the test fuzz.corpus) writes them from the build's pictures into the
folder QUORVANTIS_KINDS_DIR names, one file a kind, named so that they sort in the list's order."""
import os

KINDS_DIR = os.environ.get("QUORVANTIS_KINDS_DIR", "")


def kinds():
    """(what, bytes) for each kind in the list's order, `what` the file's name."""
    names = sorted(os.listdir(KINDS_DIR)) if os.path.isdir(KINDS_DIR) else []
    if not names:
        raise RuntimeError("no spoiled kinds in %r (QUORVANTIS_KINDS_DIR): the test fuzz.corpus writes them"
                           % KINDS_DIR)
    out = []
    for name in names:
        with open(os.path.join(KINDS_DIR, name), "rb") as f:
            out.append((name, f.read()))
    return out
