# Shared by the run and test scripts: the build, the project's own Wine prefix and
# the environment every Wine call runs in. Source it; do not run it.
QP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QP_BUILD=${QP_BUILD:-$QP_ROOT/build}
QP_BIN=$QP_BUILD/bin
QP_DIST=$QP_BUILD/dist
QP_FOLDER="$QP_DIST/Quillon Pro"

export WINEARCH=${QP_WINEARCH:-win32}  # win64 only where 32-bit programs cannot run
export WINEPREFIX=${QP_WINEPREFIX:-$QP_BUILD/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="

qp_build() {
  cmake -S "$QP_ROOT" -B "$QP_BUILD" -DCMAKE_TOOLCHAIN_FILE="$QP_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$QP_BUILD" --parallel "$(nproc)"
}

# The program folder a user copies, built/dist/Quillon Pro/, and a zip of it named
# after the version.
qp_package() {
  qp_build >/dev/null
  qp_fill_folder
}

# The packaging alone, from what the build made.
qp_fill_folder() {
  rm -rf "$QP_DIST"
  cmake --install "$QP_BUILD" --prefix "$QP_FOLDER" >/dev/null
  local version
  version=$(tr -d '[:space:]' < "$QP_BUILD/version.txt")
  (cd "$QP_DIST" && zip -qr "QuillonPro-$version.zip" "Quillon Pro")
}

# Makes the prefix $WINEPREFIX afresh. A crash must end the program, not open a
# dialog that waits for a click.
qp_new_prefix() {
  rm -rf "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # No window manager runs here: windows Wine leaves to one wait two seconds
  # for it on every hide.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quillon-ready"
}

# A 32-bit prefix of the project's own, made once, with this build's COM library
# registered.
qp_prefix() {
  [ -f "$WINEPREFIX/.quillon-ready" ] || qp_new_prefix
  # The COM library is registered where this build put it.
  if [ -f "$QP_BIN/Pellmon.dll" ]; then
    wine regsvr32 /s "$(winepath -w "$QP_BIN/Pellmon.dll")" >/dev/null 2>&1 ||
      { echo "registering Pellmon.dll failed" >&2; return 1; }
    # Let that server end, so the caller can start its own (wineserver -p).
    wineserver -w
  fi
}

# Starts a virtual display for the run unless one is given; sets DISPLAY.
qp_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    QP_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    kill "$QP_XVFB_PID" 2>/dev/null
  done
  echo "no virtual display could be started" >&2
  return 1
}
