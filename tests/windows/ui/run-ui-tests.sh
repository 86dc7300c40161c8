#!/bin/bash
# The Win32 user interface under Wine, on a virtual X display of its own:
# builds ui_win32_test.exe with MinGW-w64 (unless given one), makes a fresh
# Wine prefix in a temporary folder, starts Xvfb, runs the program there and
# takes everything down again.
#
#   run-ui-tests.sh [--exe PROGRAM] [--toolchain FILE] [--build-dir DIR]
#
#   --exe PROGRAM     run this ui_win32_test.exe instead of building one
#   --toolchain FILE  CMake toolchain file for the build (default: the
#                     tree's cmake/toolchains/mingw-w64-x86_64.cmake when it
#                     and its compiler are there, else MinGW-w64's x86_64
#                     compiler named here)
#   --build-dir DIR   where to build (default: build-uiwin/tests-ui in the tree)
#
# Exit status: 0 when every check passed; 1 with the failed checks printed;
# 77 ("skipped") when Wine, Xvfb or the cross compiler is not installed and
# CI is not set (with CI set, a missing tool is a failure).
#
# Environment:
#   LKRVA_UI_KEEP=1   keep the temporary folder (prefix, screenshots, logs)
#
# What Wine needs to show these windows as a Chinese system does:
# - The ANSI code page. Wine takes it from the Unix locale it is started
#   with: LC_ALL=zh_CN.UTF-8 gives GetACP() = 936 (GBK, a superset of
#   GB2312), so MessageBoxA reads our GB2312 texts right. This works even
#   where glibc has no zh_CN locale generated; LANG=zh_CN.UTF-8 alone did
#   not do it here (GetACP() stayed 1252) while LC_ALL was unset, so
#   LC_ALL is what we set, on the Wine commands only. The test program
#   checks GetACP() itself.
# - A Chinese face. Wine uses the host's fonts through fontconfig; with
#   fonts-wqy-microhei installed the label and the dialog find "WenQuanYi
#   Micro Hei" when no Windows face ("隶书", "SimSun", ...) is there.
# - No window manager: Xvfb has none, and Wine would wait two seconds for
#   one each time a window with a caption closes. The prefix is told to
#   leave the windows unmanaged (X11 Driver, Managed=N), which the checks do
#   not depend on otherwise.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

exe=""
toolchain=""
build_dir="$root/build-uiwin/tests-ui"
while [ $# -gt 0 ]; do
  case $1 in
    --exe) exe=${2:?--exe needs a program}; shift 2 ;;
    --toolchain) toolchain=${2:?--toolchain needs a file}; shift 2 ;;
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift 2 ;;
    -h | --help) sed -n '2,20p' "$0"; exit 0 ;;
    *) echo "run-ui-tests.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

# A tool that is not installed: skipped here, a failure in CI.
missing() {
  if [ -n "${CI:-}" ]; then
    echo "FAILED: $1 is not installed (CI is set, so this is not skipped)" >&2
    exit 1
  fi
  echo "skipped: $1 is not installed"
  exit 77
}

wine=$(command -v wine || command -v wine64 || true)
[ -n "$wine" ] || missing wine
for tool in wineboot wineserver Xvfb timeout; do
  command -v "$tool" >/dev/null 2>&1 || missing "$tool"
done

# --- Build ------------------------------------------------------------------
if [ -z "$exe" ]; then
  command -v cmake >/dev/null 2>&1 || missing cmake
  if ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 &&
    ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
    missing "MinGW-w64 (g++-mingw-w64-x86-64)"
  fi
  # The tree's toolchain names the POSIX-thread compiler; without that one
  # installed, the plain compiler builds this program just as well.
  if [ -z "$toolchain" ] && [ -f "$root/cmake/toolchains/mingw-w64-x86_64.cmake" ] &&
    command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
    toolchain="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
  fi
  if [ -n "$toolchain" ]; then
    compiler_args=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
  else
    compiler_args=(-DCMAKE_SYSTEM_NAME=Windows
      -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++
      -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres)
  fi
  echo "building in $build_dir"
  mkdir -p "$build_dir"
  if ! cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "${compiler_args[@]}" \
    >"$build_dir/configure.log" 2>&1; then
    echo "FAILED: configuring the test program" >&2
    cat "$build_dir/configure.log" >&2
    exit 1
  fi
  if ! cmake --build "$build_dir" -j 2 >"$build_dir/build.log" 2>&1; then
    echo "FAILED: building the test program" >&2
    cat "$build_dir/build.log" >&2
    exit 1
  fi
  exe="$build_dir/ui_win32_test.exe"
fi
[ -f "$exe" ] || { echo "FAILED: no test program at $exe" >&2; exit 1; }
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

# --- A prefix and a display of our own ----------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/lkrva-ui-win32.XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer in a prefix made for windows and dialogs.
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
status=1

finish() {
  # Never leave a Wine server or an X server of ours behind.
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  if [ "$status" -eq 0 ] && [ -z "${LKRVA_UI_KEEP:-}" ]; then
    rm -rf "$work"
  else
    rm -rf "$WINEPREFIX"
    [ -n "${LKRVA_UI_KEEP:-}" ] || echo "screenshots and logs kept in $work"
  fi
}
trap finish EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display itself and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
  </dev/null >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "FAILED: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"

in_wine() { env LC_ALL=zh_CN.UTF-8 "$@"; }

echo "Wine prefix $WINEPREFIX, display $DISPLAY"
if ! in_wine timeout 300 wineboot --init >"$work/wineboot.log" 2>&1; then
  echo "FAILED: wineboot --init" >&2
  tail -n 30 "$work/wineboot.log" >&2
  exit 1
fi
# The same Wine server goes on serving the next commands: nothing waits for
# it to write the registry out and stop.
in_wine timeout 120 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
  >>"$work/wineboot.log" 2>&1

mkdir -p "$work/shots"
export LKRVA_UI_SHOTS="Z:${work//\//\\}\\shots"
in_wine timeout 300 "$wine" "$exe" 2>"$work/wine.log"
status=$?
wineserver -k >/dev/null 2>&1
if [ "$status" -eq 0 ]; then
  echo "Win32 user interface: all checks passed"
else
  [ "$status" -eq 124 ] && echo "FAILED: the test program did not end within 300 s" >&2
  echo "FAILED: the Win32 user-interface checks (exit status $status); Wine's messages:" >&2
  tail -n 30 "$work/wine.log" >&2
  status=1
fi
exit "$status"
