#!/bin/sh
# LKRVA.dll under Wine, in a fresh prefix of its own: regsvr32, then the
# COM host's phases (activation and the object, the exports, the
# operations on an SQLite survey through ODBC, registration and
# unregistration, a module path with a blank). The survey's expected values
# come from the Linux build (`lkrva table` / `lkrva record` on a copy).
#
# Usage: run-wine-tests.sh WINDOWS_BIN_DIR LINUX_LKRVA SURVEY.csv WORKDIR
#   WINDOWS_BIN_DIR holds LKRVA.dll and lkrva_com_test.exe.
# Exit 0 when every phase passed; 77 when Wine is not installed.
set -eu
bin=$1
lkrva=$2
survey=$3
work=$4

command -v wine >/dev/null 2>&1 || { echo "wine is not installed: skipped"; exit 77; }

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko installers, no windows: these phases need no display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The machine field of the DLL's PE header: 8664 for x86-64.
pe=$(od -An -tu4 -j60 -N4 "$bin/LKRVA.dll" | tr -d ' ')
case "$(od -An -tx2 -j$((pe + 4)) -N2 "$bin/LKRVA.dll" | tr -d ' ')" in
  8664) export WINEARCH=win64 ;;
  *) export WINEARCH=win32 ;;
esac

# The prefix's wineserver is stopped on every way out, so that no two
# test runs ever share one.
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT INT TERM

start=$(date +%s)
wineboot --init >"$work/wineboot.log" 2>&1
wineserver -w
echo "prefix ready in $(($(date +%s) - start)) s"

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/lkrva" "$drive_c/lkrva test"
cp "$bin/LKRVA.dll" "$bin/lkrva_com_test.exe" "$drive_c/lkrva/"
cp "$bin/LKRVA.dll" "$drive_c/lkrva test/"
dll='C:\lkrva\LKRVA.dll'
host='C:\lkrva\lkrva_com_test.exe'

failed=0
phase() {
  name=$1
  shift
  if wine "$host" "$@" >"$work/$name.log" 2>&1; then
    echo "PASS $name"
  else
    echo "FAIL $name"
    cat "$work/$name.log"
    failed=1
  fi
  wineserver -w
}

# Registration by the system's own tool.
if wine regsvr32 /s "$dll"; then
  echo "PASS regsvr32"
else
  echo "FAIL regsvr32 (exit $?)"
  exit 1
fi
wineserver -w

phase com com "$dll"
phase exports exports "$dll"

# The survey: a few readings removed, so the fill pass has work.
db="$work/survey.sqlite"
: >"$db"
"$lkrva" import "$survey" --connection "Provider=SQLite;Data Source=$db" --table survey --create \
  >/dev/null
sqlite3 "$db" "UPDATE survey SET JXJ = NULL WHERE rowid IN (5, 40);
               UPDATE survey SET FWJ = NULL WHERE rowid = 23;"
cp "$db" "$work/expected.sqlite"
"$lkrva" table --connection "Provider=SQLite;Data Source=$work/expected.sqlite" --table survey \
  --declination -2.5 --gtdjs 30 --quiet >/dev/null
depth=$(sqlite3 "$work/expected.sqlite" "SELECT JS FROM survey ORDER BY JS DESC LIMIT 1 OFFSET 3")
expected=$("$lkrva" record --connection "Provider=SQLite;Data Source=$work/expected.sqlite" \
  --table survey --depth "$depth" --declination -2.5 --gtdjs 30 --csv | tail -n 1 | tr ',' ' ')

# Wine's odbc32 hands ODBC to the host's unixODBC: the SQLite ODBC driver
# under the name the Windows driver is installed as, from our own odbcinst.ini.
sqliteodbc=$(find /usr/lib -name 'libsqlite3odbc.so' 2>/dev/null | head -n 1)
mkdir -p "$work/odbc"
printf '[SQLite3 ODBC Driver]\nDriver=%s\n' "$sqliteodbc" >"$work/odbc/odbcinst.ini"
: >"$work/odbc/odbc.ini"
export ODBCSYSINI="$work/odbc" ODBCINI="$work/odbc/odbc.ini"

# In Wine the database path is a Unix path: the driver is a Linux library.
# shellcheck disable=SC2086
phase runs runs "Driver={SQLite3 ODBC Driver};Database=$db" survey "$depth" $expected
if [ "$(sqlite3 -csv "$db" 'SELECT * FROM survey ORDER BY rowid')" = \
  "$(sqlite3 -csv "$work/expected.sqlite" 'SELECT * FROM survey ORDER BY rowid')" ]; then
  echo "PASS the table LKRVA.dll wrote equals the Linux build's"
else
  echo "FAIL the table LKRVA.dll wrote differs from the Linux build's"
  diff "$work/expected.sqlite" "$db" >/dev/null 2>&1 || true
  sqlite3 -csv "$db" 'SELECT * FROM survey ORDER BY rowid' | head -5
  sqlite3 -csv "$work/expected.sqlite" 'SELECT * FROM survey ORDER BY rowid' | head -5
  failed=1
fi
# The SQLite form of the connection string reaches the same driver.
cp "$work/expected.sqlite" "$work/again.sqlite"
# shellcheck disable=SC2086
phase runs-provider runs "Provider=SQLite;Data Source=$work/again.sqlite" survey "$depth" $expected

phase registration registration "$dll"
phase blank-path registration 'C:\lkrva test\LKRVA.dll'

cleanup
trap - EXIT INT TERM
echo "Wine phases done in $(($(date +%s) - start)) s"
exit $failed
