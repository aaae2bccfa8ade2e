#!/usr/bin/env python3
"""Writes the pop-up notice's banner, popbanner.bmp: a 24-bit bitmap of a red band
that darkens towards its lower edge, with a row of small warning triangles at its
left. The notice writes its title over it.

  make_popbanner.py build FILE   writes the file
  make_popbanner.py check FILE   reads it back and compares it with what build makes
"""
import sys

from bmp24 import bmp, build_or_check

WIDTH = 250
HEIGHT = 36


def pixel(x, y):
    t = y / (HEIGHT - 1)
    colour = (int(220 - 70 * t), int(50 - 25 * t), int(60 - 25 * t))
    # A warning triangle at the left edge: yellow, with a dark border.
    cx, top, bottom = 18, 7, 28
    if top <= y <= bottom:
        half = (y - top) * 12 // (bottom - top)
        if abs(x - cx) <= half:
            colour = (250, 210, 40)
            if abs(x - cx) >= half - 1 or y >= bottom - 1:
                colour = (60, 30, 10)
            elif cx - 1 <= x <= cx and (11 <= y <= 20 or 23 <= y <= 25):
                colour = (60, 30, 10)
    if y == HEIGHT - 1:
        colour = (90, 10, 20)
    return colour


def main(mode, path):
    rows = [[pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    build_or_check(mode, path, bmp(rows))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
