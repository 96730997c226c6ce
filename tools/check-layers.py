#!/usr/bin/env python3
"""Fails when a source file under src/ includes a header against the layers of tools/layers.txt."""
import os
import re
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
if len(sys.argv) > 1:
    root = os.path.abspath(sys.argv[1])
rules = []
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "layers.txt"), encoding="utf-8") as f:
    for line in f:
        line = line.split("#", 1)[0].split()
        if line:
            rules.append((int(line[0]), line[1], line[2]))


def group_of(path):
    best = None
    for rank, group, prefix in rules:
        if path.startswith(prefix) and (best is None or len(prefix) > len(best[2])):
            best = (rank, group, prefix)
    return best


def resolve(include):
    for base in ("src/", "res/"):
        if os.path.exists(os.path.join(root, base + include)):
            return base + include
    return None


include_line = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
problems = []
files = 0
for folder, _, names in os.walk(os.path.join(root, "src")):
    for name in sorted(names):
        if not name.endswith((".cpp", ".h", ".rc")):
            continue
        path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
        own = group_of(path)
        if own is None:
            problems.append(f"{path}: in no layer of tools/layers.txt")
            continue
        files += 1
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, text in enumerate(f, 1):
                m = include_line.match(text)
                if not m:
                    continue
                target = resolve(m.group(1))
                if target is None:
                    continue
                other = group_of(target)
                if other is None:
                    problems.append(f"{path}:{number}: includes {target}, which is in no layer")
                elif other[1] != own[1] and other[0] >= own[0]:
                    problems.append(f"{path}:{number}: {own[1]} (layer {own[0]}) includes {target} "
                                    f"of {other[1]} (layer {other[0]})")
for p in problems:
    print(p)
print(f"{files} files checked, {len(problems)} includes against the layers")
sys.exit(1 if problems else 0)
