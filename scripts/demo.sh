#!/bin/sh
# Builds LKRVA (release preset) and runs the main job on the bundled demo
# survey: a real well imported into SQLite, computed, printed and plotted
# in ./lkrva-demo.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/bin/lkrva demo
