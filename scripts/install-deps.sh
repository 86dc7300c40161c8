#!/bin/sh
# Installs the Debian packages that building, running and testing LKRVA need,
# when any of them is missing. Runs apt-get as root, through sudo otherwise.
# The MinGW-w64 compilers (the POSIX-threads flavour, whose C++ library has
# std::mutex), mingw-w64-tools and Wine (wine, wine64) build and test the
# Windows DLL (scripts/test-windows.sh); Wine's odbc32 uses unixODBC and the
# SQLite ODBC driver listed above. The Win32 windows are tested under Wine on
# Xvfb, with WenQuanYi Micro Hei (fonts-wqy-microhei) as the Chinese face.
set -eu

packages="g++ cmake make pkg-config locales clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libfmt-dev libcli11-dev
  libsqlite3-dev sqlite3
  unixodbc unixodbc-dev odbc-postgresql libsqliteodbc postgresql
  libfltk1.3-dev libcairo2-dev fonts-wqy-microhei xvfb xdotool x11-apps imagemagick time
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine wine64"

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps: these packages are missing and neither root nor sudo is available:$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq --no-install-recommends $missing
