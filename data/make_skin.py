#!/usr/bin/env python3
"""Writes the tracker bar's skin: left.bmp and right.bmp (end caps with an arrow) and
main.bmp (the strip's tile), 24-bit bitmaps of one height.

  make_skin.py build FOLDER   writes the three files
  make_skin.py check FOLDER   reads them back and compares them with what build makes
"""
import sys

from bmp24 import bmp, build_or_check

HEIGHT = 32
CAP_WIDTH = 14
TILE_WIDTH = 8


def shade(y):
    """A dark steel-blue band, lighter in the middle (RGB)."""
    t = 1.0 - abs(y - (HEIGHT - 1) / 2.0) / (HEIGHT / 2.0)
    return (30 + int(40 * t), 45 + int(55 * t), 70 + int(80 * t))


def cap(pointing_left):
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(CAP_WIDTH):
            colour = shade(y)
            dy = abs(y - HEIGHT // 2)
            tip = 3 if pointing_left else CAP_WIDTH - 4
            reach = (x - tip) if pointing_left else (tip - x)
            if 0 <= reach <= 6 and dy <= reach:
                colour = (220, 225, 235)
            edge = x == CAP_WIDTH - 1 if pointing_left else x == 0
            if edge or y in (0, HEIGHT - 1):
                colour = (15, 20, 30)
            row.append(colour)
        rows.append(row)
    return rows


def tile():
    return [[(15, 20, 30) if y in (0, HEIGHT - 1) else shade(y) for _ in range(TILE_WIDTH)]
            for y in range(HEIGHT)]


FILES = {'left.bmp': lambda: cap(True), 'right.bmp': lambda: cap(False), 'main.bmp': tile}


def main(mode, folder):
    for name, make in FILES.items():
        build_or_check(mode, folder + '/' + name, bmp(make()))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
