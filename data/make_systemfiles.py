#!/usr/bin/env python3
"""Writes systemfiles.dat from its readable source: comments and empty lines go, every
entry is checked, and the lines end in CR LF as the program's readers expect."""
import sys

FLAGS = {"s", "w", "s9", "w9"}


def main(source, target):
    out = []
    with open(source, encoding="ascii") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\r\n").rstrip()
            if not line or line.startswith("#"):
                continue
            flag, _, name = line.partition(" ")
            if flag not in FLAGS or not name.strip() or name != name.strip():
                sys.exit(f"{source}:{number}: expected a flag (s, w, s9, w9), one blank and a name")
            out.append(f"{flag} {name}")
    with open(target, "w", encoding="ascii", newline="") as f:
        f.write("".join(line + "\r\n" for line in out))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
