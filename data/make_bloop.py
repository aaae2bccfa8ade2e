#!/usr/bin/env python3
"""Makes the reminder sound sounds\\bloop.wav: a short falling tone as 16-bit mono
PCM, or checks that a file is that wave.

    make_bloop.py build OUT.wav
    make_bloop.py check OUT.wav
"""
import math
import struct
import sys

RATE = 22050
SECONDS = 0.3
START_HZ, END_HZ = 880.0, 330.0


def samples():
    count = int(RATE * SECONDS)
    phase = 0.0
    out = []
    for i in range(count):
        t = i / count
        freq = START_HZ + (END_HZ - START_HZ) * t  # the "bloop": a falling pitch
        phase += 2 * math.pi * freq / RATE
        envelope = min(1.0, i / 200.0) * (1.0 - t) ** 2  # soft start, fading end
        out.append(int(12000 * envelope * math.sin(phase)))
    return out


def wave_bytes():
    data = b"".join(struct.pack("<h", s) for s in samples())
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def check(path):
    with open(path, "rb") as f:
        blob = f.read()
    if blob != wave_bytes():
        sys.exit(path + " is not the reminder sound this script makes")
    riff, size, wave = struct.unpack("<4sI4s", blob[:12])
    tag, channels, rate, _, align, bits = struct.unpack("<HHIIHH", blob[20:36])
    if (riff, wave, size + 8, tag, channels, rate, align, bits) != (b"RIFF", b"WAVE", len(blob), 1, 1, RATE, 2, 16):
        sys.exit(path + " has a wrong header")
    print(path, "is a", round((len(blob) - 44) / 2 / rate, 2), "second PCM wave")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("build", "check"):
        sys.exit(__doc__)
    if sys.argv[1] == "build":
        with open(sys.argv[2], "wb") as f:
            f.write(wave_bytes())
    else:
        check(sys.argv[2])


if __name__ == "__main__":
    main()
