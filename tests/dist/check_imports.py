#!/usr/bin/env python3
"""Checks what the shipped files ask of Windows, without running them.

  check_imports.py LIST FOLDER32 FOLDER64   both program folders: their files, and
                                            every import against the list
  check_imports.py LIST --bits N FOLDER     one folder of that width
  check_imports.py LIST selftest            the judge against a table of cases

A program or library that imports a function its system lacks does not load at all,
and the program says nothing; the 32-bit files cannot even be started here. So every
import is read from the files and compared with the list (tests/dist/imports.txt):
it must be there, and the folder's oldest Windows must have it. Each folder must
hold exactly the shipped program files, of its own width, and no debug file.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_imports  # noqa: E402

SHIPPED = ("QuillonPro.exe", "Pellmon.dll", "Moskin.dll", "Brackel.dll")
NT_ORDER = ["3.1", "3.5", "3.51", "4.0", "5.0", "5.1", "5.1sp1", "5.1sp2", "5.2", "5.2sp1",
            "6.0", "6.1", "6.2", "6.3", "10"]
NT_NAMES = {"4.0": "NT 4.0", "5.0": "Windows 2000", "5.1": "Windows XP", "5.1sp1": "Windows XP SP1",
            "5.1sp2": "Windows XP SP2", "5.2": "Windows Server 2003",
            "5.2sp1": "Windows XP x64 / Server 2003 SP1", "6.0": "Windows Vista", "6.1": "Windows 7"}
NINE_X = ("95", "98", "Me", "-")
MACHINES = {32: 0x14C, 64: 0x8664}


class ListError(Exception):
    pass


def nt_name(version):
    return NT_NAMES.get(version, "NT " + version)


def read_list(path):
    """floors {bits: version} and entries {(dll, function): (9x, nt, reason)}."""
    floors, entries = {}, {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            words = line.split(None, 4)
            where = "%s:%d" % (path, number)
            if words[0] == "floor":
                if len(words) < 3 or words[1] not in ("32", "64") or words[2] not in NT_ORDER:
                    raise ListError("%s: a floor is 'floor 32|64 NT-VERSION'" % where)
                floors[int(words[1])] = words[2]
                continue
            if len(words) < 4 or words[2] not in NINE_X or words[3] not in NT_ORDER:
                raise ListError("%s: expected DLL FUNCTION 9X NT [REASON]" % where)
            key = (words[0].lower(), words[1])
            if key in entries:
                raise ListError("%s: %s %s is listed twice" % (where, key[0], key[1]))
            entries[key] = (words[2], words[3], words[4] if len(words) > 4 else "")
    if set(floors) != {32, 64}:
        raise ListError("%s: both floors (32 and 64) must be given" % path)
    lowest_floor = min(floors.values(), key=NT_ORDER.index)
    for (dll, function), (_, nt, reason) in entries.items():
        if NT_ORDER.index(nt) > NT_ORDER.index(lowest_floor) and not reason:
            raise ListError("%s: %s %s needs %s, newer than a folder's floor: give its reason"
                            % (path, dll, function, nt_name(nt)))
    return floors, entries


def judge(bits, imports, floors, entries):
    """The faults of one file's imports: a list of texts, empty when it may ship."""
    faults = []
    floor = floors[bits]
    for dll, function in sorted(set(imports)):
        entry = entries.get((dll, function))
        if entry is None:
            faults.append("imports %s %s, which the list does not hold: add it to tests/dist/imports.txt "
                          "with the oldest Windows that has it" % (dll, function))
            continue
        _, nt, reason = entry
        if NT_ORDER.index(nt) > NT_ORDER.index(floor):
            faults.append("imports %s %s, which needs %s; the %d-bit folder must load on %s%s"
                          % (dll, function, nt_name(nt), bits, nt_name(floor),
                             " (listed: %s)" % reason if reason else ""))
    return faults


MANIFEST_ARCHITECTURES = {32: "x86", 64: "amd64"}


def manifest_faults(data, bits):
    """An embedded manifest naming the other width's assemblies: Windows then loads
    no common controls and the program does not start ("side-by-side" error)."""
    faults = []
    for arch in re.findall(rb'processorArchitecture\s*=\s*"([^"]*)"', data):
        arch = arch.decode("ascii", "replace")
        if arch != "*" and arch.lower() != MANIFEST_ARCHITECTURES[bits]:
            faults.append('its manifest asks for processorArchitecture="%s" in a %d-bit file' % (arch, bits))
    return faults


def check_folder(folder, bits, floors, entries):
    """(faults, imports by file) for one program folder."""
    faults, found = [], {}
    if not os.path.isdir(folder):
        return ["%s: no such folder (run scripts/package)" % folder], found
    for root, _, files in os.walk(folder):
        for name in files:
            relative = os.path.relpath(os.path.join(root, name), folder)
            lower = name.lower()
            if lower.endswith((".dbg", ".pdb", ".map")):
                faults.append("%s: holds the debug file %s" % (folder, relative))
            elif lower.endswith((".exe", ".dll")) and relative not in SHIPPED:
                faults.append("%s: holds %s, which is not one of the program's files" % (folder, relative))
    for name in SHIPPED:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            faults.append("%s: %s is missing" % (folder, name))
            continue
        try:
            with open(path, "rb") as f:
                data = f.read()
            pe = pe_imports.PeFile(data)
            imports = pe.imports()
        except (pe_imports.PeError, ValueError, IndexError) as e:
            faults.append("%s: cannot be read: %s" % (path, e))
            continue
        if pe.bits != bits or pe.machine != MACHINES[bits]:
            faults.append("%s: is a %d-bit file in the %d-bit folder" % (path, pe.bits, bits))
            continue
        if not imports:
            faults.append("%s: no imports were read" % path)
        faults.extend("%s: %s" % (path, fault) for fault in manifest_faults(data, bits))
        found[name] = imports
        faults.extend("%s: %s" % (path, fault) for fault in judge(bits, imports, floors, entries))
    return faults, found


def older_systems(found, entries):
    """What keeps a 32-bit folder from the older systems, for the record."""
    no9x, nt4 = set(), set()
    for imports in found.values():
        for key in imports:
            v9x, nt, _ = entries.get(key, ("-", "10", ""))
            if v9x == "-":
                no9x.add(key)
            if NT_ORDER.index(nt) > NT_ORDER.index("4.0"):
                nt4.add(key)
    return no9x, nt4


def names(keys):
    return ", ".join(function for _, function in sorted(keys))


def selftest(list_path):
    floors, entries = read_list(list_path)
    floors = {32: "5.1", 64: "5.2sp1"}
    k = "kernel32.dll"
    cases = [
        # bits, imports, the fault's words (None: accepted)
        (32, [(k, "CloseHandle")], None),
        (32, [("advapi32.dll", "RegGetValueA")], "RegGetValueA, which needs Windows XP x64 / Server 2003 SP1"),
        (64, [("advapi32.dll", "RegGetValueA")], None),
        (32, [(k, "GetTickCount64")], "Kernel32Fallbacks.c"),
        (64, [(k, "GetTickCount64")], "needs Windows Vista"),
        (32, [(k, "IsWow64Process")], "Windows XP SP2"),
        (32, [("user32.dll", "GetWindowLongPtrA")], "64-bit Windows only"),
        (32, [(k, "NoSuchCall")], "the list does not hold"),
        (64, [("nosuch.dll", "CloseHandle")], "nosuch.dll CloseHandle, which the list does not hold"),
        (32, [("KERNEL32.dll".lower(), "GetModuleHandleExA")], None),
    ]
    failed = 0
    for bits, imports, words in cases:
        faults = judge(bits, imports, floors, entries)
        ok = (not faults) if words is None else (len(faults) == 1 and words in faults[0])
        if not ok:
            failed += 1
            print("FAILED: %d-bit %s: %s" % (bits, imports, faults or "accepted"))
    manifests = [
        # bits, manifest text, faults
        (32, b'<assemblyIdentity processorArchitecture="x86"/>', 0),
        (64, b'<assemblyIdentity processorArchitecture="*"/>', 0),
        (64, b'<assemblyIdentity processorArchitecture="amd64"/>', 0),
        (64, b'<a processorArchitecture="x86"/><b processorArchitecture="*"/>', 1),
        (32, b'<a processorArchitecture = "amd64"/>', 1),
    ]
    for bits, text, count in manifests:
        if len(manifest_faults(text, bits)) != count:
            failed += 1
            print("FAILED: %d-bit manifest %r: %s" % (bits, text, manifest_faults(text, bits)))
    bad_lists = [
        "floor 32 5.1\n",
        "floor 32 5.1\nfloor 64 5.2sp1\nkernel32.dll GetTickCount64 - 6.0\n",
        "floor 32 5.1\nfloor 64 5.2sp1\nkernel32.dll CloseHandle 95 3.1\nkernel32.dll CloseHandle 95 3.1\n",
        "floor 32 5.1\nfloor 64 5.2sp1\nkernel32.dll CloseHandle 97 3.1\n",
    ]
    scratch = os.path.join(os.environ.get("TMPDIR", "/tmp"), "qp-imports-selftest-%d.txt" % os.getpid())
    for text in bad_lists:
        with open(scratch, "w") as f:
            f.write(text)
        try:
            read_list(scratch)
            failed += 1
            print("FAILED: a faulty list was taken: %r" % text)
        except ListError:
            pass
    os.remove(scratch)
    print("selftest: %d cases, %d failed" % (len(cases) + len(manifests) + len(bad_lists), failed))
    return 1 if failed else 0


def report(folders, floors, entries):
    faults = []
    for folder, bits in folders:
        folder_faults, found = check_folder(folder, bits, floors, entries)
        faults.extend(folder_faults)
        count = sum(len(set(i)) for i in found.values())
        print("%d-bit folder %s: %d files, %d imports, each on %s" % (
            bits, folder, len(found), count, nt_name(floors[bits])))
        if bits == 32 and found:
            no9x, nt4 = older_systems(found, entries)
            print("  not on 95/98/Me (%d): %s" % (len(no9x), names(no9x)))
            print("  not on NT 4.0 (%d): %s" % (len(nt4), names(nt4)))
    for fault in faults:
        print("FAULT: " + fault)
    return 1 if faults else 0


def main(argv):
    if len(argv) == 3 and argv[2] == "selftest":
        return selftest(argv[1])
    try:
        floors, entries = read_list(argv[1])
    except (ListError, IndexError) as e:
        print("FAULT: %s" % e)
        return 1
    if len(argv) == 5 and argv[2] == "--bits" and argv[3] in ("32", "64"):
        return report([(argv[4], int(argv[3]))], floors, entries)
    if len(argv) == 4:
        return report([(argv[2], 32), (argv[3], 64)], floors, entries)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
