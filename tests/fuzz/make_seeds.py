#!/usr/bin/env python3
"""Writes the starting inputs of the fuzz targets, one folder per target, from the
shipped data sources (data/) and the tests' canned inputs. Inputs a target found are
kept in the same folders as regression seeds; this script leaves them alone.

  make_seeds.py            (run from anywhere; writes tests/fuzz/<target>/seed-*)
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, "seed-" + name), "wb") as out:
        out.write(data)


def b(text):
    return text.encode("latin-1") if isinstance(text, str) else text


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


# ---- netstat: the listing of the process tests, and one cut inside an id
LISTING = ("\r\nActive Connections\r\n\r\n"
           "  Proto  Local Address          Foreign Address        State           PID\r\n"
           "  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING       884\r\n"
           "  TCP    127.0.0.1:1028         127.0.0.1:8080         ESTABLISHED     1500\r\n"
           "  TCP    192.0.2.5:1031         198.51.100.9:80        CLOSE_WAIT      1500\r\n"
           "  TCP    [::1]:49670            [fe80::1%4]:445        ESTABLISHED     2020\r\n"
           "  UDP    0.0.0.0:500            *:*                                    3030\r\n"
           "  TCP    0.0.0.0:99             0.0.0.0:0              LISTENING       12ab\r\n")
write("netstat", "listing", u32(1500) + struct.pack("<H", 0xFFFF) + b(LISTING))
cut = LISTING + "  TCP    192.0.2.5:1031         198.51.100.9:80        CLOSE_WAIT      15040\r\n"
write("netstat", "cut-in-id", u32(1504) + struct.pack("<H", len(cut) - 3) + b(cut))
write("netstat", "tabs", u32(42) + struct.pack("<H", 0) + b("header\n\tTCP\t1.2.3.4:5\t6.7.8.9:10\tSYN_SENT\t42\n"))

# ---- system files: the shipped list
with open(os.path.join(ROOT, "data", "systemfiles.txt"), "rb") as f:
    write("systemfiles", "shipped", f.read())
write("systemfiles", "flags", "s kernel32.dll\nw9 explorer.exe\ns9 vmm32.vxd\nw notepad.exe  \nx skipped\n\n")

# ---- Pop.dat: the shipped catalogue, built from its source
with tempfile.TemporaryDirectory() as tmp:
    built = os.path.join(tmp, "Pop.dat")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "make_popdat.py"), "build",
                    os.path.join(ROOT, "data", "browsers.txt"), built], check=True)
    with open(built, "rb") as f:
        popdat = f.read()
write("popdat", "shipped", popdat)
write("popdat", "header-counts-more", popdat[:256] + b"99".ljust(256, b" ") + popdat[512:2846 * 2])

# ---- special-program and Internet-program entries (mode byte, then the entry)
for name, text in [("default", "c:\\windows\\explorer.exe,2;1"), ("comma-path", "c:\\tools\\a,b\\x.exe,2;1"),
                   ("semicolon-path", "c:\\my;tools\\x.exe,2;1"), ("no-flag", "c:\\x.exe,1"),
                   ("malformed", "no separator here")]:
    write("sprogentry", "text-" + name, b"\x01" + text.encode())
write("sprogentry", "stored", b"\x00" + struct.pack("<hh", 2, 1) + b"c:\\a,b;c\\x.exe")
for name, text in [("enabled", "c:\\net\\mail.exe;1"), ("semicolon-path", "c:\\my;tools\\x.exe;1"),
                   ("no-flag", "c:\\x.exe")]:
    write("intprogentry", "text-" + name, b"\x01" + text.encode())
write("intprogentry", "stored", b"\x00" + struct.pack("<h", 1) + b"c:\\my;tools\\x.exe")

# ---- registry values (type byte, then the bytes)
write("regtext", "sz-no-nul", b"\x01C:\\QP\\QuillonPro.exe")
write("regtext", "sz", b"\x01abc\x00")
write("regtext", "expand-two", b"\x02first\x00second\x00")
write("regtext", "dword", b"\x04\x01\x00\x00\x00")

# ---- prog.ini: the shipped defaults, and counts that must not size the list
with open(os.path.join(ROOT, "data", "prog.ini"), "rb") as f:
    write("progini", "shipped", f.read())
write("progini", "huge-count", "Number=32767\nClass1=A\n")
write("progini", "failed", "Failed\x00Number=1\nClass1=X\n")

# ---- the string builder (step byte, length byte, text)
write("appendstring", "pieces", b"\x00\x02ab\x00\x02cd\xff\xfe\x01e")

# ---- histories (kind, start tick, then steps: how, time, value)
def steps(kind, start, items):
    out = bytes([kind]) + u32(start)
    for seconds, value in items:
        out += bytes([seconds & 0x7F]) + b"\x00" + struct.pack("<i", value)
    return out
write("histogram", "fixed-gap-line", steps(0, 0, [(1, 30), (4, 60)]))
write("histogram", "fixed-huge-cpu", steps(0, 0, [(1, 2147483647), (1, 50)]))
write("histogram", "scaling-1000-200-900", steps(1, 0, [(1, 1000), (60, 200), (1, 900)]))
write("histogram", "scaling-large-traffic", steps(1, 0xFFFFFC00, [(1, -30000000)] + [(1, 2000000000)] * 61))

# ---- value rules (int16, int32, double, then a text)
for name, text in [("prefix", "12abc"), ("hex", "&H1F"), ("blanks", " 3.5 "), ("flag", "True"),
                   ("exponent", "1E+15"), ("negative", "-2.5"), ("comma", "0,01")]:
    write("vbrules", name, struct.pack("<hid", -7, 100000, 0.5) + text.encode())

# ---- performance data: counter names and blocks laid out as the library tests lay them
write("perfcounters", "english", b"1\x00System\x00230\x00Process\x00784\x00ID Process\x006\x00% Processor Time\x00\x00")
write("perfcounters", "no-process", b"2\x00Memory\x00\x00")


def perf_block(instances, title=230):
    header_len, object_len, counter_def, instance_def, counter_block = 88, 64, 40, 32, 24
    data = bytearray(header_len)
    data[0:8] = "PERF".encode("utf-16-le")
    struct.pack_into("<I", data, 24, header_len)
    struct.pack_into("<I", data, 28, 1)
    obj = len(data)
    data += bytearray(object_len)
    for title_index, size, offset in [(1, 4, 4), (784, 4, 8), (6, 8, 16)]:
        d = bytearray(counter_def)
        struct.pack_into("<I", d, 0, counter_def)
        struct.pack_into("<I", d, 4, title_index)
        struct.pack_into("<I", d, 32, size)
        struct.pack_into("<I", d, 36, offset)
        data += d
    first = len(data)
    for pid, time in instances:
        i = bytearray(instance_def)
        struct.pack_into("<III", i, 0, instance_def, 0, 0)
        struct.pack_into("<II", i, 16, 24, 8)
        c = bytearray(counter_block)
        struct.pack_into("<I", c, 0, counter_block)
        struct.pack_into("<I", c, 8, pid)
        struct.pack_into("<Q", c, 16, time)
        data += i + c
    struct.pack_into("<III", data, obj, len(data) - obj, first - obj, object_len)
    struct.pack_into("<I", data, obj + 12, title)
    struct.pack_into("<I", data, obj + 32, 3)
    struct.pack_into("<I", data, obj + 40, len(instances))
    struct.pack_into("<I", data, 20, len(data))
    return bytes(data)


three = perf_block([(4, 100), (1234, 0x123456789), (77, 5)])
write("perfdata", "three-processes", u32(1234) + struct.pack("<H", 230) + three)
write("perfdata", "trailing-bytes", u32(77) + struct.pack("<H", 230) + three + b"\xff" * 64)
write("perfgrowth", "doubling", struct.pack("<HI", 100, 1000) + b"\x01\x01\x00" + u32(150))
write("perfgrowth", "never-fits", struct.pack("<HI", 1, 1 << 20) + b"\x01" * 30)

# ---- the risk description file as the build makes it, a cell text and a rating
with tempfile.TemporaryDirectory() as tmp:
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "make_riskdat.py"), "build",
                    os.path.join(ROOT, "data", "riskcodes.txt"), os.path.join(tmp, "RiskDescriptions.dat"),
                    os.path.join(tmp, "RiskEventCodes.h")], check=True)
    with open(os.path.join(tmp, "RiskDescriptions.dat"), "rb") as f:
        write("riskfile", "shipped", b"\x00" + f.read())
write("riskfile", "short-count", b"\x00" + b"3\r\n120 -1 0 Signed\r\ndetails\n201 5 2 Writes\r")
write("riskfile", "cell", b"\x03" + b" 45% |||||||| (Doesn't seem harmful)")

# ---- the quarantine list: two paths written, and a count larger than the file
def qrt_record(path, pad, count):
    return path.encode("latin-1").ljust(255, pad) + struct.pack("<i", count)
two = qrt_record("", b"\0", 2) + qrt_record("C:\\Tools\\a.exe", b" ", 2) + qrt_record("C:\\b c\\d.exe", b" ", 2)
write("qrtlist", "two-paths", b"\x01" + two)
write("qrtlist", "count-past-end", b"\x01" + qrt_record("", b"\0", 1000) + qrt_record("C:\\x.exe", b" ", 1000))
write("qrtlist", "written", b"\x00" + bytes([14]) + b"C:\\Tools\\a.exe" + bytes([3]) + b" x ")

# ---- monitor log lines as the hook library writes them
write("monitorline", "written", b"\x00" + bytes([13, 5, 9]) + struct.pack("<h", 201) + b"C:\\temp\\a.txt\r\nnext")
write("monitorline", "read", b"\x01" + b"13:05:09 602 C:\\Windows\\notepad.exe")

# ---- the update check's answers: news, our own version, an error page
write("updateanswer", "news", b"\x00" + b"3.1.0 Faster lists.\r\nFewer clicks.")
write("updateanswer", "same", b"\x00" + b"3.0.0\n")
write("updateanswer", "error-page", b"\x01" + struct.pack("<h", 404) + b"<html>Not found</html>")
