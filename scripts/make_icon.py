#!/usr/bin/env python3
"""Writes the program icon: a blue disc with a white ring and tail, 32x32 and 16x16."""
import math
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 1.0:
        return (0, 0, 0, 0)
    ring = 0.42 < r < 0.66
    tail = x > c and y > c and abs((x - c) - (y - c)) < size * 0.09 and r > 0.4
    if ring or tail:
        return (255, 255, 255, 255)
    shade = int(40 * (1 - r))
    return (200 + shade // 2, 110 + shade, 30, 255)  # BGRA: blue disc


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(b for x in range(size) for b in pixel(x, y, size))
                    for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + b'\0' * (mask_row * size)


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
