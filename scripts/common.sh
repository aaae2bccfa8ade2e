# Shared by the run and test scripts: the build, the project's own Wine prefix and
# the environment every Wine call runs in. Source it, then call qp_init once the
# tools are installed; do not run it.
QP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QP_PRODUCT_BUILD=$QP_ROOT/build  # the shipped 32-bit program

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="

# Picks the build this machine can run. Quillon Pro ships as a 32-bit program, but
# some Linux kernels have 32-bit emulation switched off, and there no 32-bit Wine
# starts ("Exec format error"). On such a machine the 32-bit program is still
# built, and the same sources are also built for 64-bit Windows, in build/x64, to
# run under 64-bit Wine. QP_ARCH (i686 or x86_64) overrides the choice.
qp_init() {
  if [ -z "${QP_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then QP_ARCH=i686; else QP_ARCH=x86_64; fi
  fi
  export QP_ARCH
  if [ "$QP_ARCH" = x86_64 ]; then
    export WINEARCH=win64
    case ":$PATH:" in
      *":$QP_ROOT/scripts/wine64:"*) ;;
      *) export PATH="$QP_ROOT/scripts/wine64:$PATH" ;;
    esac
    QP_BUILD=${QP_BUILD:-$QP_PRODUCT_BUILD/x64}
  else
    export WINEARCH=win32
    QP_BUILD=${QP_BUILD:-$QP_PRODUCT_BUILD}
  fi
  export QP_BUILD
  QP_BIN=$QP_BUILD/bin
  QP_DIST=$QP_BUILD/dist
  QP_FOLDER="$QP_DIST/Quillon Pro"
  export WINEPREFIX=${QP_WINEPREFIX:-$QP_BUILD/wineprefix}
}

qp_cmake_build() {  # BUILD_DIR ARCH
  cmake -S "$QP_ROOT" -B "$1" -DCMAKE_TOOLCHAIN_FILE="$QP_ROOT/cmake/mingw-$2.cmake" >/dev/null
  cmake --build "$1" --parallel "$(nproc)"
}

# Builds what this machine runs; where that is the 64-bit build, the shipped 32-bit
# program is built first, so it still compiles and links everywhere.
qp_build() {
  if [ "$QP_ARCH" = x86_64 ]; then qp_cmake_build "$QP_PRODUCT_BUILD" i686; fi
  qp_cmake_build "$QP_BUILD" "$QP_ARCH"
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
  # A CD drive r: and a diskette drive s: for the media check. Wine follows the links
  # live: a test takes a disk out by moving the target folder away.
  wine reg add 'HKLM\Software\Wine\Drives' /v r: /t REG_SZ /d cdrom /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Wine\Drives' /v s: /t REG_SZ /d floppy /f >/dev/null 2>&1
  wineserver -w
  ln -sfn "$QP_BUILD/media/cd" "$WINEPREFIX/dosdevices/r:"
  ln -sfn "$QP_BUILD/media/floppy" "$WINEPREFIX/dosdevices/s:"
  touch "$WINEPREFIX/.quillon-ready-2"
}

# The media of the prefix's removable drives, in place before the server starts: it
# reads drive types and labels once, when it starts.
qp_media() {
  mkdir -p "$QP_BUILD/media/cd" "$QP_BUILD/media/floppy"
  rm -rf "$QP_BUILD/media/cd-out" "$QP_BUILD/media/floppy-out"
  printf 'QPDISC\n' > "$QP_BUILD/media/cd/.windows-label"
}

# A prefix of the project's own, made once, with this build's COM library
# registered.
qp_prefix() {
  [ -f "$WINEPREFIX/.quillon-ready-2" ] || qp_new_prefix
  qp_media
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
