#!/usr/bin/env python3
"""The import check itself: its judge against a table of cases, this build's own
program files accepted, and a folder whose Moskin.dll imports RegGetValueA and
GetTickCount64 directly refused, naming them.

  import_check_test.py LIST BIN_DIR BITS PLANTED_DLL
"""
import os
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
checker = os.path.join(here, "check_imports.py")
list_path, bin_dir, bits, planted = sys.argv[1:5]
failed = []


def check(folder):
    run = subprocess.run([sys.executable, checker, list_path, "--bits", bits, folder],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return run.returncode, run.stdout


if subprocess.run([sys.executable, checker, list_path, "selftest"]).returncode != 0:
    failed.append("the judge's cases")

with tempfile.TemporaryDirectory() as scratch:
    folder = os.path.join(scratch, "Quillon Pro")
    os.mkdir(folder)
    for name in ("QuillonPro.exe", "Pellmon.dll", "Moskin.dll", "Brackel.dll"):
        shutil.copy(os.path.join(bin_dir, name), folder)
    code, out = check(folder)
    print(out)
    if code != 0:
        failed.append("this build's program files were refused")

    shutil.copy(planted, os.path.join(folder, "Moskin.dll"))
    code, out = check(folder)
    print(out)
    faults = [line for line in out.splitlines() if line.startswith("FAULT:")]
    expected = ["GetTickCount64"] + (["RegGetValueA"] if bits == "32" else [])
    if code != 1:
        failed.append("the planted imports were taken")
    for function in expected:
        if not any("Moskin.dll" in f and " " + function + "," in f for f in faults):
            failed.append("no fault names %s in Moskin.dll" % function)
    if len(faults) != len(expected):
        failed.append("%d faults where %d were planted" % (len(faults), len(expected)))

    # A debug file and a test program beside the program are refused too.
    shutil.copy(os.path.join(bin_dir, "Pellmon.dll"), os.path.join(folder, "Moskin.dll"))
    open(os.path.join(folder, "Moskin.dll.dbg"), "wb").close()
    shutil.copy(planted, os.path.join(folder, "planted.dll"))
    code, out = check(folder)
    if code != 1 or "debug file Moskin.dll.dbg" not in out or "holds planted.dll" not in out:
        failed.append("a debug file or a stray library in the folder was taken:\n" + out)

for fault in failed:
    print("FAILED: " + fault)
sys.exit(1 if failed else 0)
