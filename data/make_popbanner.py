#!/usr/bin/env python3
"""Writes the pop-up notice's banner, popbanner.bmp: a 24-bit bitmap of a red band
that darkens towards its lower edge, with a row of small warning triangles at its
left. The notice writes its title over it.

  make_popbanner.py build FILE   writes the file
  make_popbanner.py check FILE   reads it back and compares it with what build makes
"""
import struct
import sys

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


def bmp():
    stride = (WIDTH * 3 + 3) & ~3
    pixels = b''
    for y in reversed(range(HEIGHT)):  # bottom-up
        line = b''.join(bytes((b, g, r)) for (r, g, b) in (pixel(x, y) for x in range(WIDTH)))
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels


def main(mode, path):
    data = bmp()
    if mode == 'build':
        with open(path, 'wb') as f:
            f.write(data)
    else:
        with open(path, 'rb') as f:
            if f.read() != data:
                sys.exit(path + ' differs from its source')


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
