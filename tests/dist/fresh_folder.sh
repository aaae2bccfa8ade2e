#!/usr/bin/env bash
# The program folder as a Windows user receives it: the folder this machine can run
# (the 64-bit one where 32-bit programs cannot start), packaged as scripts/package
# packages it, its files and its zip checked, copied into a fresh prefix where nothing
# was ever registered, and started from there: the first-run question comes, the
# Pellmon library beside the program serves the performance figures without a
# registry entry, and the settings are written.
# Usage: fresh_folder.sh SOURCE_DIR BUILD_DIR THROW_AWAY_PREFIX
set -euo pipefail
export QP_BUILD=$2
. "$1/scripts/common.sh"
qp_init
export WINEPREFIX=$3
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 1; }
fail() { echo "$*"; exit 1; }

qp_fill_folder "$QP_ARCH"
suffix=""
[ "$QP_ARCH" = x86_64 ] && suffix=-x64
zip="$QP_DIST/QuillonPro-$(tr -d '[:space:]' < "$QP_BUILD/version.txt")$suffix.zip"
expected="Brackel.dll
Moskin.dll
Pellmon.dll
Pop.dat
QuillonPro.exe
RiskDescriptions.dat
left.bmp
main.bmp
prog.ini
popbanner.bmp
right.bmp
sounds/bloop.wav
spywarelist.dat
systemfiles.dat"
files=$(cd "$QP_FOLDER" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$files" = "$(echo "$expected" | LC_ALL=C sort)" ] || fail "the folder holds other files than the program's:
$files"
zipped=$(python3 -c 'import sys, zipfile
top = sys.argv[2] + "/"
print("\n".join(sorted(n[len(top):] if n.startswith(top) else "outside the folder: " + n
                       for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' \
  "$zip" "$(basename "$QP_FOLDER")")
[ "$zipped" = "$(echo "$files" | LC_ALL=C sort)" ] || fail "the zip does not hold exactly the folder:
$zipped"

# A prefix of its own, made afresh: nothing registered, no settings.
qp_new_prefix
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p >/dev/null 2>&1
clsid='{B52F1570-8A88-11D5-87A5-00C04F5F8704}'
registered() { wine reg query "HKCR\\CLSID\\$clsid" >/dev/null 2>&1; }
registered && fail "the fresh prefix already knows the Pellmon class"

installed="$WINEPREFIX/drive_c/Quillon Pro"
cp -r "$QP_FOLDER" "$installed"
(cd "$installed" && exec wine QuillonPro.exe </dev/null >/dev/null 2>&1) &
program=$!
out=$(mktemp)
probe_rc=0
wine "$QP_BIN/dist_probe.exe" >"$out" 2>&1 </dev/null || probe_rc=$?
[ "$probe_rc" = 1 ] && { cat "$out"; fail "the first-run question did not come"; }
[ "$probe_rc" = 0 ] || { cat "$out"; fail "the program did not answer within 1 s after the question"; }
tr -d '\r' < "$out"
grep -q "^question: Do you use a modem to connect to the Internet" "$out" || fail "another question came first"
grep -qi '^pellmon: c:\\quillon pro\\pellmon.dll' "$out" || fail "the program did not load the Pellmon library beside it"

# Answered No: a leased line, stored with the rest of the settings.
lancon=""
for _ in $(seq 100); do
  lancon=$(wine reg query 'HKCU\Software\Quillon Pro\Options' /v LANCon 2>/dev/null | tr -d '\r' |
           awk '/LANCon/ {print $3}')
  [ "$lancon" = "1" ] && break
  sleep 0.2
done
[ "$lancon" = "1" ] || fail "the first run's settings were not written (LANCon: ${lancon:-none})"
version=$(wine reg query 'HKCU\Software\Quillon Pro\General' /v Version 2>/dev/null | tr -d '\r' |
          awk '/Version/ {print $3}')
[ "$version" = "3" ] || fail "the settings version was not written (${version:-none})"
kill -0 "$program" 2>/dev/null || fail "the program ended"
wine "$QP_BIN/dist_probe.exe" --answers </dev/null || fail "the program stopped answering"
registered && fail "the program registered the Pellmon class"
echo "the folder runs where nothing is registered"
