#!/bin/sh
# Fails when a C or C++ source differs from what clang-format makes of it.
# With --fix, formats them in place instead.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.hpp' '*.h' '*.c' 2>/dev/null || find src tests bench include -name '*.[ch]pp' -o -name '*.[ch]')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i $files
else
  clang-format --dry-run -Werror $files
fi
