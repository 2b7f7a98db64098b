#!/usr/bin/python3
"""Checks the program's web colour table against the CSS3 colour keywords of
Debian's python3-webcolors.

Input: a file with one entry per line, "clWeb<Keyword> #RRGGBB".
Each entry's keyword (letter case ignored) must be a CSS3 keyword of that
value, and every CSS3 value must have exactly one entry. Exit 0 when all hold.
"""
import sys

import webcolors


def main(path):
    css3 = {k.lower(): v.lower() for k, v in webcolors.CSS3_NAMES_TO_HEX.items()}
    faults = []
    per_value = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line:
                continue
            name, value = line.split()
            value = value.lower()
            if not name.startswith("clWeb"):
                faults.append(f"{name}: not a clWeb name")
                continue
            keyword = name[len("clWeb"):].lower()
            if keyword not in css3:
                faults.append(f"{name}: {keyword} is no CSS3 keyword")
            elif css3[keyword] != value:
                faults.append(f"{name}: {value}, but {keyword} is {css3[keyword]}")
            per_value.setdefault(value, []).append(name)
    for value in sorted(set(css3.values())):
        names = per_value.get(value, [])
        if len(names) != 1:
            faults.append(f"{value}: {len(names)} entries {names}")
    for value in per_value:
        if value not in css3.values():
            faults.append(f"{value}: no CSS3 keyword has it")
    for fault in faults:
        print(fault)
    print(f"{sum(len(n) for n in per_value.values())} entries, {len(set(css3.values()))} CSS3 values, "
          f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
