#!/usr/bin/env python3
"""Builds spywarelist.dat, the links of the spyware search window, from its readable
source, and checks a built file against the source.

  make_spywarelist.py build spywarelinks.txt spywarelist.dat
  make_spywarelist.py check spywarelinks.txt spywarelist.dat

spywarelist.dat is a file of 820-byte records: blank-padded ASCII texts (name 50,
address start 256, address end 256, description 256) and a little-endian 16-bit
name style at offset 818. Record 1 is a header whose name holds the number of link
records that follow.
"""
import struct
import sys

RECORD = 820
WIDTHS = (("name", 50), ("start", 256), ("end", 256), ("description", 256))


def fail(where, message):
    sys.exit(f"{where}: {message}")


def parse(path):
    links, current = [], None
    with open(path, "rb") as source:
        raw_lines = source.read().split(b"\n")
    for number, raw in enumerate(raw_lines, 1):
        where = f"{path}:{number}"
        try:
            line = raw.decode("ascii").strip()
        except UnicodeDecodeError:
            fail(where, "text that is not ASCII")
        if not line or line.startswith("#"):
            continue
        if line == "[link]":
            current = {"name": "", "start": "", "end": "", "description": "", "style": None}
            links.append(current)
            continue
        if current is None or "=" not in line:
            fail(where, "expected [link] or key = value")
        key, value = (part.strip() for part in line.split("=", 1))
        if key == "style":
            if value not in ("-1", "0"):
                fail(where, "style must be -1 or 0")
            current["style"] = int(value)
        elif key in dict(WIDTHS):
            current[key] = value
        else:
            fail(where, f"unknown key {key}")
    for link in links:
        where = f"{path}: link {link['name']!r}"
        if not link["name"]:
            fail(where, "has no name")
        if link["style"] is None:
            fail(where, "has no style")
        if not link["start"].lower().startswith(("http://", "https://")):
            fail(where, "address does not start with http:// or https://")
        for key, width in WIDTHS:
            if len(link[key]) > width:
                fail(where, f"{key} longer than {width} characters")
            if any(ord(c) < 32 or ord(c) > 126 for c in link[key]):
                fail(where, f"{key} holds a control character")
    return links


def record(link):
    data = b"".join(link[key].encode("ascii").ljust(width, b" ") for key, width in WIDTHS)
    data += struct.pack("<h", link["style"])
    assert len(data) == RECORD
    return data


def header(count):
    return str(count).encode("ascii").ljust(RECORD - 2, b" ") + struct.pack("<h", 0)


def build(links):
    return header(len(links)) + b"".join(record(link) for link in links)


def decode(rec):
    out, offset = {}, 0
    for key, width in WIDTHS:
        out[key] = rec[offset:offset + width].decode("ascii").rstrip(" ")
        offset += width
    out["style"] = struct.unpack_from("<h", rec, 818)[0]
    return out


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("build", "check"):
        sys.exit(__doc__)
    mode, source, target = sys.argv[1:]
    links = parse(source)
    if mode == "build":
        with open(target, "wb") as out:
            out.write(build(links))
        return
    with open(target, "rb") as built:
        data = built.read()
    if len(data) % RECORD:
        fail(target, f"{len(data)} bytes is not a whole number of records")
    count = int(data[:50].decode("ascii").strip() or "0")
    if count != len(links) or len(data) != RECORD * (count + 1):
        fail(target, f"holds {count} records, the source {len(links)}")
    for i, link in enumerate(links, 1):
        if decode(data[i * RECORD:(i + 1) * RECORD]) != {key: link[key] for key in ("name", "start", "end",
                                                                                    "description", "style")}:
            fail(target, f"record {i + 1} ({link['name']}) differs from the source")
    print(f"{target}: {count} records match the source")


if __name__ == "__main__":
    main()
