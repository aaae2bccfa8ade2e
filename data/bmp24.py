"""What the build's picture scripts share: a 24-bit bitmap from rows of RGB pixels,
and the build-or-check step that writes a file or compares it with what it should be."""
import struct
import sys


def bmp(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for row in reversed(rows):  # bottom-up
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels


def build_or_check(mode, path, data):
    """mode 'build' writes the file; any other mode fails the run when it differs."""
    if mode == 'build':
        with open(path, 'wb') as f:
            f.write(data)
    else:
        with open(path, 'rb') as f:
            if f.read() != data:
                sys.exit(path + ' differs from its source')
