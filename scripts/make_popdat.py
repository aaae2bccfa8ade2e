#!/usr/bin/env python3
"""Builds the browser catalogue Pop.dat from its readable source, and checks a
built file against the source.

  make_popdat.py build browsers.txt Pop.dat
  make_popdat.py check browsers.txt Pop.dat
  make_popdat.py selftest browsers.txt

A catalogue is refused when a menu caption keeps an "&" (the scan compares captions
with the "&" taken out, so it would never match) or when a title part of a white item
is held by the browser's own name (every window of the browser would be allowed).

Pop.dat is a file of 2846-byte records: blank-padded ANSI texts and little-endian
16-bit integers. Record 1 is a header whose executable-name field holds the number
of browser records that follow.
"""
import struct
import sys

RECORD = 2846
TEXT = 256


def parse(path):
    browsers, current = [], None
    with open(path, encoding="ascii") as source:
        for number, raw in enumerate(source, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                current = {"name": line[1:-1], "exe": "", "menu": [], "notice": 1,
                           "hide": 1, "version": 0, "white": []}
                browsers.append(current)
                continue
            if current is None or "=" not in line:
                sys.exit(f"{path}:{number}: expected [name] or key = value")
            key, value = (part.strip() for part in line.split("=", 1))
            if key == "exe":
                current["exe"] = value
            elif key == "menu":
                current["menu"].append(value)
            elif key in ("notice", "hide", "version"):
                current[key] = int(value)
            elif key == "white":
                kind, match, text = value.split(None, 2)
                if kind not in ("url", "title") or match not in ("exact", "part"):
                    sys.exit(f"{path}:{number}: white = url|title exact|part text")
                current["white"].append((0 if kind == "url" else 1, 1 if match == "exact" else 0, text))
            else:
                sys.exit(f"{path}:{number}: unknown key {key}")
    for b in browsers:
        if not b["exe"]:
            sys.exit(f"{path}: {b['name']} has no exe")
        if len(b["menu"]) > 3 or len(b["white"]) > 6:
            sys.exit(f"{path}: {b['name']} has more than 3 menus or 6 white items")
        for menu in b["menu"]:
            if "&" in menu:
                sys.exit(f"{path}: {b['name']}: menu caption {menu!r} keeps an '&'")
        for kind, exact, white in b["white"]:
            if kind == 1 and not exact and (not white or white.lower() in b["name"].lower()):
                sys.exit(f"{path}: {b['name']}: title part {white!r} allows every window of the browser")
        for text in [b["name"], b["exe"], *b["menu"], *(w[2] for w in b["white"])]:
            if len(text.encode("ascii")) > TEXT:
                sys.exit(f"{path}: text longer than {TEXT} characters: {text[:40]}...")
    return browsers


def text(value):
    return value.encode("ascii").ljust(TEXT, b" ")


def record(b):
    menus = b["menu"] + [""] * (3 - len(b["menu"]))
    white = b["white"] + [(0, 0, "")] * (6 - len(b["white"]))
    data = text(b["name"]) + text(b["exe"]) + b"".join(text(m) for m in menus)
    data += struct.pack("<hhh", b["notice"], b["hide"], b["version"])
    data += struct.pack("<6h", *(w[0] for w in white))
    data += b"".join(text(w[2]) for w in white)
    data += struct.pack("<6h", *(w[1] for w in white))
    assert len(data) == RECORD
    return data


def header(count):
    return text("") + text(str(count)) + b" " * (RECORD - 2 * TEXT)


def build(browsers):
    return header(len(browsers)) + b"".join(record(b) for b in browsers)


def selftest(source):
    """The shipped catalogue parses, and each fault above is refused."""
    import os
    import subprocess
    import tempfile
    parse(source)
    faults = {
        "ampersand": "[B]\nexe = b.exe\nmenu = Open in New &Window\n",
        "own name": "[Opera]\nexe = opera.exe\nwhite = title part Opera\n",
    }
    for name, text in faults.items():
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write(text)
        try:
            run = subprocess.run([sys.executable, __file__, "build", f.name, os.devnull], capture_output=True)
            if run.returncode == 0:
                sys.exit(f"selftest: a catalogue with {name} was accepted")
        finally:
            os.unlink(f.name)
    print("selftest: faulty catalogues refused")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "selftest":
        return selftest(sys.argv[2])
    if len(sys.argv) != 4 or sys.argv[1] not in ("build", "check"):
        sys.exit(__doc__)
    mode, source, target = sys.argv[1:]
    browsers = parse(source)
    if mode == "build":
        with open(target, "wb") as out:
            out.write(build(browsers))
        return
    with open(target, "rb") as built:
        data = built.read()
    if len(data) % RECORD:
        sys.exit(f"{target}: {len(data)} bytes is not a whole number of records")
    count = int(data[TEXT:2 * TEXT].decode("ascii").strip())
    if count != len(browsers) or len(data) != RECORD * (count + 1):
        sys.exit(f"{target}: holds {count} records, the catalogue {len(browsers)}")
    # Decoded field by field, so a shifted offset or a wrong width shows.
    for i, b in enumerate(browsers, 1):
        if decode(data[i * RECORD:(i + 1) * RECORD]) != expected(b):
            sys.exit(f"{target}: record {i + 1} ({b['name']}) differs from the catalogue")
    print(f"{target}: {count} records match the catalogue")


def decode(rec):
    field = lambda offset: rec[offset:offset + TEXT].decode("ascii").rstrip(" ")
    notice, hide, version = struct.unpack_from("<hhh", rec, 1280)
    kinds = struct.unpack_from("<6h", rec, 1286)
    exact = struct.unpack_from("<6h", rec, 2834)
    white = [(kinds[k], exact[k], field(1298 + TEXT * k)) for k in range(6)]
    return (field(0), field(256), [field(512 + TEXT * k) for k in range(3)], notice, hide, version,
            [w for w in white if w != (0, 0, "")])


def expected(b):
    menus = b["menu"] + [""] * (3 - len(b["menu"]))
    return (b["name"], b["exe"], menus, b["notice"], b["hide"], b["version"], b["white"])

if __name__ == "__main__":
    main()
