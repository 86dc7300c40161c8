#!/bin/sh
# Cross-checks our type library with an independent MSFT reader, when that
# reader is available; exits 77 (skipped) otherwise.
set -u
tool=$1
tlb=$2
if [ ! -f "$tool" ] || ! command -v python3 >/dev/null 2>&1; then
  echo "independent reader not available: skipped"
  exit 77
fi
out=$(python3 "$tool" "$tlb") || { echo "$out"; exit 1; }
echo "$out"
for expected in \
  "library LKRVA" "uuid         F3E39089-8E65-431D-A671-42ABE193E6DA" "syskind      1 SYS_WIN32" \
  "helpstring   'LKRVA Library'" "TKIND_INTERFACE IKRVA" "typeflags    0x100 FOLEAUTOMATION" \
  "cFuncs 3  cVars 0  cImplTypes 1  cbSizeVft 24" "inherited: 3 funcs, depth 1" \
  "[id(3)] HRESULT mathrecord([in] double JS, [in] double gtdjs, [out] double* JXJ" \
  "oVft 20 (slot 5)" "TKIND_COCLASS KRVA" "typeflags    0x2 FCANCREATE" \
  "href 0x0 -> IKRVA  IMPLTYPEFLAGS 0x1 FDEFAULT" "checks: 15 passed, 0 failed"; do
  case $out in
    *"$expected"*) ;;
    *) echo "missing: $expected"; exit 1 ;;
  esac
done
