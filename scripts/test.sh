#!/bin/sh
# Builds LKRVA and runs every test: the release build, then the whole suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# formatting check.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release
cmake --build --preset release
ctest --preset release

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

scripts/check-format.sh
echo "All tests passed (release and asan) and the sources are formatted."
