#!/usr/bin/env bash
# Windows ends the session while Quillon Pro runs: the program's own exit runs once
# (it closes the open connection's record and saves it) and the process ends cleanly.
# Usage: end_session.sh BIN_FOLDER THROW_AWAY_PREFIX
# The session's end reaches every window of a prefix, so it runs in a prefix of its own.
set -euo pipefail
BIN=$1
. "$(dirname "$0")/../../scripts/common.sh"
qp_init
export WINEPREFIX=$2
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 1; }
[ -f "$WINEPREFIX/.quillon-ready-2" ] || qp_new_prefix
trap 'wineserver -k 2>/dev/null || true' EXIT

reg() { wine reg "$@" >/dev/null 2>&1; }
exe=$(winepath -w "$BIN/QuillonPro.exe")
reg delete 'HKCU\Software\Quillon Pro' /f || true
reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Quillon Pro' /f || true
# Registered earlier, no splash, a leased line (so a connection is open from the start).
reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\QuillonPro.exe' /ve /d "$exe" /f
reg add 'HKCU\Software\Quillon Pro\Options' /v SplashAtStartUp /d 0 /f
reg add 'HKCU\Software\Quillon Pro\Options' /v LANCon /d 1 /f
reg add 'HKCU\Software\Quillon Pro\Options' /v RunAtStartUp /d 1 /f
# The prefix's CD and diskette drives hold disks: the media check at a session's end
# would ask about them, and no one here answers.
reg add 'HKCU\Software\Quillon Pro\MoreTools' /v DriveCheck /d 0 /f

cd "$BIN"
wine QuillonPro.exe </dev/null >/dev/null 2>&1 &
program=$!
# The Run value is written while the settings are applied, just before the loop starts.
for _ in $(seq 100); do
  reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Quillon Pro' && break
  sleep 0.2
done
sleep 2  # a few passes of the loop: the leased line's start is handled
kill -0 "$program" || { echo "the program did not start"; exit 1; }
wine "$BIN/dist_probe.exe" --answers </dev/null || { echo "the program did not answer within 1 s"; exit 1; }

wineboot --end-session >/dev/null 2>&1 || true
status=0
for _ in $(seq 150); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$program" 2>/dev/null; then
  echo "the program did not end with the session"
  kill "$program"
  exit 1
fi
wait "$program" || status=$?

times=$(wine reg query 'HKCU\Software\Quillon Pro\Internet' /v GeneralConInfo.ConnectTimes 2>/dev/null |
        tr -d '\r' | awk '/GeneralConInfo.ConnectTimes/ {print $3}')
echo "exit status $status, connections recorded: ${times:-none}"
[ "$status" -eq 0 ] || { echo "the program did not end through its own exit"; exit 1; }
[ "$times" = "1" ] || { echo "the session-end exit did not run exactly once"; exit 1; }
