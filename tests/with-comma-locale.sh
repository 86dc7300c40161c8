#!/bin/sh
# Runs a command under a locale whose decimal separator is a comma
# (de_DE.UTF-8), compiled into a private folder so the machine's own locale
# set is left alone. Exits 77 (skipped) when the locale cannot be made.
dir=$1
shift
mkdir -p "$dir"
if [ ! -d "$dir/de_DE.UTF-8" ]; then
  localedef -i de_DE -f UTF-8 "$dir/de_DE.UTF-8" >/dev/null 2>&1
  [ -d "$dir/de_DE.UTF-8" ] || { echo "cannot compile de_DE.UTF-8 (is the locales package installed?)"; exit 77; }
fi
LOCPATH=$dir LC_ALL=de_DE.UTF-8 LKRVA_EXPECT_SEPARATOR=, exec "$@"
