#!/bin/sh
# The Windows build: cross-compiles LKRVA.dll and its test host with
# MinGW-w64 (build-win64/, and build-win32/ for the 32-bit DLL), checks
# what the DLLs export and import, and runs the 64-bit one under Wine
# (tests/windows/run-wine-tests.sh) against the Linux build's results, so
# build/bin/lkrva must exist (scripts/test.sh builds it first).
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

start=$(date +%s)
build build-win64 mingw-w64-x86_64.cmake
check_module x86_64-w64-mingw32-objdump build-win64/bin/LKRVA.dll
# The 32-bit DLL is built and checked; running it would need 32-bit Wine.
build build-win32 mingw-w64-i686.cmake lkrva_server
check_module i686-w64-mingw32-objdump build-win32/bin/LKRVA.dll
echo "Windows builds done in $(($(date +%s) - start)) s"

tests/windows/run-wine-tests.sh "$root/build-win64/bin" "$root/build/bin/lkrva" \
  "$root/data/surveys/deviation-m.csv" "$root/build-win64/wine-tests"
