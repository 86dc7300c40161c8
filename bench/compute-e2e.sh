#!/bin/bash
# `lkrva compute` end to end (read, fill, walk, write) on a synthetic survey,
# measured side by side with the straightforward baseline tool
# (bench/naive_compute.cpp). Prints the best of three runs of each, the
# ratio, and peak memory at two sizes to show it grows linearly.
#
# Usage: bench/compute-e2e.sh [STATIONS]   (default 1000000; release build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
n=${1:-1000000}
small=$((n / 10))
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bin/make_survey" "$n" > "$tmp/survey.csv"
"$build/bin/make_survey" "$small" > "$tmp/small.csv"

# best_of CMD...: the lowest wall time of three runs, and that run's peak RSS.
best_of() {
  local best="" rss=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$tmp/time" "$@" > "$tmp/out.csv"
    read -r t m < "$tmp/time"
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$t
      rss=$m
    fi
  done
  echo "$best $rss"
}

read -r naive_s naive_kb < <(best_of "$build/bin/naive_compute" "$tmp/survey.csv" -2.5 30)
read -r lkrva_s lkrva_kb < <(best_of "$build/bin/lkrva" compute "$tmp/survey.csv" --declination -2.5)
read -r _ small_kb < <(best_of "$build/bin/lkrva" compute "$tmp/small.csv" --declination -2.5)

awk -v n="$n" -v small="$small" -v ns="$naive_s" -v ls="$lkrva_s" -v lk="$lkrva_kb" -v sk="$small_kb" 'BEGIN {
  printf "stations                 %d\n", n
  printf "naive_compute            %.2f s\n", ns
  printf "lkrva compute            %.2f s  (%.2f of the baseline, %.1fx faster)\n", ls, ls / ns, ns / ls
  printf "lkrva peak memory        %.0f MB at %d stations, %.0f MB at %d\n", lk / 1024, n, sk / 1024, small
  printf "memory per station       %.0f bytes (slope between the two sizes)\n", (lk - sk) * 1024 / (n - small)
}'
