#!/bin/sh
# Builds LKRVA and runs every test: the release build, the Windows DLLs
# cross-compiled and tested under Wine (the COM host, then the Win32 windows
# on Xvfb), then the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the formatting check.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release
cmake --build --preset release
ctest --preset release

scripts/test-windows.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

scripts/check-format.sh
echo "All tests passed (release, Windows under Wine, asan) and the sources are formatted."
