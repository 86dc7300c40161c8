#!/bin/sh
# Runs a command under a locale whose character set is GB2312 (zh_CN),
# compiled into a private folder so the machine's own locale set is left
# alone. Exits 77 (skipped) when the locale cannot be made.
dir=$1
shift
mkdir -p "$dir"
if [ ! -d "$dir/zh_CN.GB2312" ]; then
  localedef -i zh_CN -f GB2312 "$dir/zh_CN.GB2312" >/dev/null 2>&1
  [ -d "$dir/zh_CN.GB2312" ] || { echo "cannot compile zh_CN.GB2312 (is the locales package installed?)"; exit 77; }
fi
LOCPATH=$dir LC_ALL=zh_CN.GB2312 LKRVA_EXPECT_CHARSET=GB2312 exec "$@"
