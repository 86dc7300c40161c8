#!/bin/sh
# Builds LKRVA (release preset) and runs the main job on the bundled demo survey.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/bin/lkrva compute data/surveys/deviation-m.csv --declination -2.5 --gtdjs 30
