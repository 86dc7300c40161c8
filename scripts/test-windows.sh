#!/bin/sh
# The Windows build: cross-compiles LKRVA.dll, its test host and the Win32
# user interface's test program with MinGW-w64 (build-win64/, and
# build-win32/ for the 32-bit DLL and UI test program, which are built but
# not run: that would need 32-bit Wine), checks what the DLLs export and
# import, then runs the 64-bit build under Wine in two phases, one after the
# other, each in a fresh prefix of its own:
#   1. no display: tests/windows/run-wine-tests.sh, the COM host against
#      the Linux build's results, so build/bin/lkrva must exist
#      (scripts/test.sh builds it first);
#   2. display: tests/windows/ui/run-ui-tests.sh, the dialog, message boxes
#      and progress window on an Xvfb display of its own.
# Between the phases the first prefix's wineserver is stopped.
#
# Exit status 0 when everything passed. Outside CI a missing MinGW-w64, Wine
# or Xvfb skips what needs it (said so on the way); with CI set it fails.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

# build DIR TOOLCHAIN [TARGET...]
build() {
  dir=$1
  toolchain=$2
  shift 2
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release
  if [ $# -gt 0 ]; then
    cmake --build "$dir" -j2 --target "$@"
  else
    cmake --build "$dir" -j2
  fi
}

# The DLL exports its four functions at their ordinals (and the UI hook
# after them) and imports nothing but system DLLs.
check_module() {
  objdump=$1
  dll=$2
  exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
  for entry in "0] DllUnregisterServer" "1] DllRegisterServer" "2] DllCanUnloadNow" \
    "3] DllGetClassObject" "4] LKRVA_SetUiCallbacks"; do
    case "$exports" in
      *"$entry"*) ;;
      *) echo "$dll: no export [$entry" >&2; return 1 ;;
    esac
  done
  imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for name in $imports; do
    case "$name" in
      advapi32.dll | comctl32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | odbc32.dll | \
        ole32.dll | oleaut32.dll | user32.dll | uxtheme.dll) ;;
      *) echo "$dll imports $name, which Windows does not ship" >&2; return 1 ;;
    esac
  done
  echo "$dll: exports and imports as they should be"
}

# have TOOL...: 0 when every tool is there. A missing one fails the run in
# CI; elsewhere it is named and 1 tells the caller to skip.
have() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && continue
    if [ -n "${CI:-}" ]; then
      echo "FAILED: $tool is not installed (CI is set, so this is not skipped)" >&2
      exit 1
    fi
    echo "$tool is not installed"
    return 1
  done
}

# skippable STATUS WHAT: a test script's exit status 77 ("a tool is
# missing") is a skip outside CI and a failure in it; other failures fail.
skippable() {
  case $1 in
    0) ;;
    77)
      if [ -n "${CI:-}" ]; then
        echo "FAILED: $2 was skipped, but CI is set" >&2
        exit 1
      fi
      echo "skipped: $2"
      ;;
    *) echo "FAILED: $2 (exit status $1)" >&2; exit 1 ;;
  esac
}

start=$(date +%s)
if ! have x86_64-w64-mingw32-g++-posix i686-w64-mingw32-g++-posix x86_64-w64-mingw32-windres \
  i686-w64-mingw32-windres x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; then
  echo "skipped: the Windows build and its tests (no MinGW-w64)"
  exit 0
fi
build build-win64 mingw-w64-x86_64.cmake
check_module x86_64-w64-mingw32-objdump build-win64/bin/LKRVA.dll
# The 32-bit DLL and UI test program are built (the DLL checked) but not
# run: that would need 32-bit Wine.
build build-win32 mingw-w64-i686.cmake lkrva_server ui_win32_test
check_module i686-w64-mingw32-objdump build-win32/bin/LKRVA.dll
echo "Windows builds done in $(($(date +%s) - start)) s"

if ! have wine wineserver wineboot; then
  echo "skipped: the tests under Wine"
  exit 0
fi

# Phase 1, no display. The script stops its prefix's wineserver when it
# ends; stopping it here again makes sure nothing of it is left when the
# display phase starts.
wine_tests="$root/build-win64/wine-tests"
status=0
tests/windows/run-wine-tests.sh "$root/build-win64/bin" "$root/build/bin/lkrva" \
  "$root/data/surveys/deviation-m.csv" "$wine_tests" || status=$?
if [ -d "$wine_tests/prefix" ]; then WINEPREFIX="$wine_tests/prefix" wineserver -k 2>/dev/null || true; fi
skippable "$status" "the COM tests under Wine"

# Phase 2, display: the UI test program of the 64-bit build, run by the
# script in a prefix and on an Xvfb display it makes and takes down itself.
status=0
tests/windows/ui/run-ui-tests.sh --exe "$root/build-win64/bin/ui_win32_test.exe" || status=$?
skippable "$status" "the Win32 user-interface tests under Wine and Xvfb"
echo "Windows builds and tests done in $(($(date +%s) - start)) s"
