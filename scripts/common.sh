# Shared by the run and test scripts: the build, the project's own Wine prefix and
# the environment every Wine call runs in. Source it, then call qp_init once the
# tools are installed; do not run it.
QP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QP_PRODUCT_BUILD=$QP_ROOT/build  # the shipped 32-bit program
QP_X64_BUILD=$QP_PRODUCT_BUILD/x64  # the shipped 64-bit program
QP_DIST=$QP_PRODUCT_BUILD/dist   # both program folders and their zips

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="

# Picks the build this machine can run. Quillon Pro ships a 32-bit program and a
# 64-bit one (build/x64), and both are always built. Some Linux kernels have 32-bit
# emulation switched off, and there no 32-bit Wine starts ("Exec format error"): such
# a machine runs and tests the 64-bit build under 64-bit Wine. QP_ARCH (i686 or
# x86_64) overrides the choice.
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
    QP_BUILD=${QP_BUILD:-$QP_X64_BUILD}
  else
    export WINEARCH=win32
    QP_BUILD=${QP_BUILD:-$QP_PRODUCT_BUILD}
  fi
  export QP_BUILD
  QP_BIN=$QP_BUILD/bin
  QP_FOLDER=$(qp_folder_of "$QP_ARCH")
  export WINEPREFIX=${QP_WINEPREFIX:-$QP_BUILD/wineprefix}
}

# The program folder of each width, as a user receives it.
qp_folder_of() {  # ARCH
  if [ "$1" = x86_64 ]; then echo "$QP_DIST/Quillon Pro x64"; else echo "$QP_DIST/Quillon Pro"; fi
}

# The build of each width: the one this machine runs may have been given (QP_BUILD).
qp_build_of() {  # ARCH
  if [ "$1" = "${QP_ARCH:-}" ]; then echo "$QP_BUILD"
  elif [ "$1" = x86_64 ]; then echo "$QP_X64_BUILD"
  else echo "$QP_PRODUCT_BUILD"; fi
}

qp_cmake_build() {  # BUILD_DIR ARCH
  cmake -S "$QP_ROOT" -B "$1" -DCMAKE_TOOLCHAIN_FILE="$QP_ROOT/cmake/mingw-$2.cmake" >/dev/null
  cmake --build "$1" --parallel "$(nproc)"
}

# Builds both shipped widths, the one this machine does not run first.
qp_build() {
  local other=i686
  [ "$QP_ARCH" = i686 ] && other=x86_64
  qp_cmake_build "$(qp_build_of $other)" "$other"
  qp_cmake_build "$QP_BUILD" "$QP_ARCH"
}

# Both program folders a user copies, build/dist/Quillon Pro/ (32-bit) and
# build/dist/Quillon Pro x64/, each with a zip named after the version.
qp_package() {
  qp_build >/dev/null
  qp_fill_folder i686
  qp_fill_folder x86_64
}

# The packaging of one width alone, from what its build made: the folder and
# QuillonPro-<version>.zip, or QuillonPro-<version>-x64.zip.
qp_fill_folder() {  # ARCH
  local build folder version zip
  build=$(qp_build_of "$1")
  folder=$(qp_folder_of "$1")
  version=$(tr -d '[:space:]' < "$build/version.txt")
  zip="QuillonPro-$version.zip"
  [ "$1" = x86_64 ] && zip="QuillonPro-$version-x64.zip"
  rm -rf "$folder" "${QP_DIST:?}/$zip"
  mkdir -p "$QP_DIST"
  cmake --install "$build" --prefix "$folder" >/dev/null
  (cd "$QP_DIST" && zip -qr "$zip" "$(basename "$folder")")
}

# Every shipped file's imports against the project's list, both folders, without
# running them.
qp_check_imports() {
  python3 "$QP_ROOT/tests/dist/check_imports.py" "$QP_ROOT/tests/dist/imports.txt" \
    "$(qp_folder_of i686)" "$(qp_folder_of x86_64)"
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
