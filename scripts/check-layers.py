#!/usr/bin/env python3
"""Fails when a source file of src/ includes a header against the layers of src/Layers.txt.

Each folder may include its own headers, those of the folders it builds on and everything those
build on. Only the window folders (app, wxcommon, setup/dialogs) may include wxWidgets. Prints
one line per wrong include (file:line: what and why) and exits 1; exits 0 when all is well.
Usage: check-layers.py [SRC_DIR]   (default: src/ beside this script's folder)
"""
import pathlib
import re
import sys

WINDOW_FOLDERS = {"app", "wxcommon", "setup/dialogs"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def read_layers(path):
    """The folders and, for each, the folders it builds on directly."""
    layers = {}
    for number, line in enumerate(path.read_text().splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        folder, sep, below = line.partition(":")
        if not sep:
            sys.exit(f"{path}:{number}: expected 'folder: folders below'")
        layers[folder.strip()] = below.split()
    for folder, below in layers.items():
        for name in below:
            if name not in layers:
                sys.exit(f"{path}: {folder} builds on {name}, which is no layer")
    return layers


def allowed_folders(layers):
    """Each folder with itself and everything below it (the transitive closure)."""
    allowed = {}

    def reach(folder, trail):
        if folder in trail:
            sys.exit("Layers.txt: a cycle: " + " -> ".join(trail + [folder]))
        if folder not in allowed:
            found = {folder}
            for below in layers[folder]:
                found |= reach(below, trail + [folder])
            allowed[folder] = found
        return allowed[folder]

    for folder in layers:
        reach(folder, [])
    return allowed


def folder_of(relative, layers):
    """The layer a path inside src/ belongs to: the longest layer name that is its prefix."""
    parts = pathlib.PurePosixPath(relative).parts
    for length in range(len(parts) - 1, 0, -1):
        candidate = "/".join(parts[:length])
        if candidate in layers:
            return candidate
    return None


def main():
    src = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "src"
    layers = read_layers(src / "Layers.txt")
    allowed = allowed_folders(layers)
    faults = []
    for path in sorted(p for p in src.rglob("*") if p.suffix in {".h", ".cpp", ".inc"} and p.is_file()):
        relative = path.relative_to(src).as_posix()
        own = folder_of(relative, layers)
        if own is None:
            if path.suffix != ".inc":
                faults.append(f"{relative}: lies in no layer of Layers.txt")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, target = match.groups()
            if bracket == "<":
                if target.startswith("wx/") and own not in WINDOW_FOLDERS:
                    faults.append(f"{relative}:{number}: includes <{target}>, but only "
                                  f"{', '.join(sorted(WINDOW_FOLDERS))} may use wxWidgets")
                continue
            used = folder_of(target, layers)
            if used is not None and used not in allowed[own]:
                faults.append(f"{relative}:{number}: includes \"{target}\", but {own} does not build on {used}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layers of src/Layers.txt")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
