#!/usr/bin/env python3
"""Checks that the host's folders include one another in one direction only.

Each folder is one library; a folder may include its own headers and those of
the folders it is allowed to depend on, nothing else. A violation is printed
with the file and line, and the exit status is 1.

Usage: check_layering.py HOST_SOURCE_DIR
"""
import os
import re
import sys

# Folder -> folders it may include. The command processor (core) and the
# commands form one library, but core never reaches the commands.
ALLOWED = {
    "db": set(),
    "dxf": {"db"},
    "geometry": {"db"},
    "core": {"db", "dxf", "geometry"},
    "commands": {"core", "db", "dxf", "geometry"},
    "ads": {"core", "commands", "db", "dxf", "geometry"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def violations(root):
    found = []
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        if folder not in ALLOWED:
            found.append(f"{folder}/: a host folder with no place in the layering")
            continue
        for dirpath, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                source = os.path.join(dirpath, name)
                with open(source, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        # Headers of the programming interface share the "ads/"
                        # prefix; only files of this tree count.
                        if "/" not in target or not os.path.exists(os.path.join(root, target)):
                            continue
                        other = target.split("/", 1)[0]
                        if other != folder and other not in ALLOWED[folder]:
                            rel = os.path.relpath(source, root)
                            found.append(f"{rel}:{number}: {folder}/ must not include {target}")
    return found


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    problems = violations(sys.argv[1])
    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
