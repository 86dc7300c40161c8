#!/bin/bash
# The calculation runs end to end through `lkrva` (a host of liblkrva.so):
#  1. `lkrva table` on a 100,000-station SQLite survey (1% of records missing
#     a reading) against bare_update, a bare SQLite C API loop that reads the
#     same rows and updates six columns of each in one transaction;
#  2. the fill pass alone at 1% and 10% missing on 10,000 and 100,000 rows;
#  3. peak memory of `lkrva table` at 100,000 and 1,000,000 stations;
#  4. `lkrva record` for the deepest station of the 100,000-station survey;
#  5. with PG=1, `lkrva table` on PostgreSQL through ODBC, 100,000 stations.
# Best of three runs, each on a fresh copy of the database.
# Usage: bench/runs-e2e.sh          (release build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD:-build}
lkrva="$root/$build/bin/lkrva"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; [ -n "${pg_state:-}" ] && tests/data/pg-cluster.sh stop "$pg_state" >/dev/null 2>&1 || true' EXIT

# make_db N MISSING → $tmp/N-MISSING.sqlite with table survey
make_db() {
  local db="$tmp/$1-$2.sqlite"
  "$build/bin/make_survey" "$1" --missing "$2" > "$tmp/s.csv"
  : > "$db"
  "$lkrva" import "$tmp/s.csv" --connection "Provider=SQLite;Data Source=$db" --table survey --create >/dev/null
  echo "$db"
}

# best CMD...: lowest wall seconds of three runs (fresh copy of $db each) and its peak RSS in KB
best() {
  local db=$1; shift
  local best="" rss=""
  for _ in 1 2 3; do
    cp "$db" "$tmp/run.sqlite"
    /usr/bin/time -f "%e %M" -o "$tmp/time" "$@" > /dev/null 2>"$tmp/err" || { cat "$tmp/err"; exit 1; }
    read -r t m < "$tmp/time"
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; rss=$m; fi
  done
  echo "$best $rss"
}

# The whole-table run on the fresh copy best() makes.
table=("$lkrva" table --connection "Provider=SQLite;Data Source=$tmp/run.sqlite" --table survey --declination -2.5 --quiet)

db100k=$(make_db 100000 1)
read -r bare_s _ < <(best "$db100k" "$build/bin/bare_update" "$tmp/run.sqlite" survey)
read -r table_s table_kb < <(best "$db100k" "${table[@]}")
# The run alone, as the tool times mathtable (without starting the process,
# loading the server and counting the table for its summary): best of three.
run_s=""
for _ in 1 2 3; do
  cp "$db100k" "$tmp/run.sqlite"
  s=$("${table[@]}" | sed -n 's/^computed .* in \([0-9.]*\) s.*/\1/p')
  if [ -z "$run_s" ] || awk -v a="$s" -v b="$run_s" 'BEGIN { exit !(a < b) }'; then run_s=$s; fi
done
printf "1. 100,000 stations, 1%% missing: lkrva table %.2f s (mathtable itself %.2f s), bare loop %.2f s (%.2fx; mathtable %.2fx)\n" \
  "$table_s" "$run_s" "$bare_s" "$(awk -v a="$table_s" -v b="$bare_s" 'BEGIN { print a / b }')" \
  "$(awk -v a="$run_s" -v b="$bare_s" 'BEGIN { print a / b }')"

echo "2. fill pass (table run minus the same run with nothing missing):"
for n in 10000 100000; do
  complete=$(make_db "$n" 0)
  read -r base_s _ < <(best "$complete" "${table[@]}")
  for m in 1 10; do
    db=$(make_db "$n" "$m")
    read -r s _ < <(best "$db" "${table[@]}")
    printf "   %7d rows, %2d%% missing: run %.2f s, fill pass ~%.2f s for %d records\n" \
      "$n" "$m" "$s" "$(awk -v a="$s" -v b="$base_s" 'BEGIN { print a - b }')" $((n * m / 100))
  done
done

db1m=$(make_db 1000000 1)
read -r m_s m_kb < <(best "$db1m" "${table[@]}")
printf "3. peak memory of lkrva table: %d MB at 100,000, %d MB at 1,000,000 (%.0f bytes per station); 1,000,000 stations in %.1f s\n" \
  $((table_kb / 1024)) $((m_kb / 1024)) "$(awk -v a="$m_kb" -v b="$table_kb" 'BEGIN { print (a - b) * 1024 / 900000 }')" "$m_s"

"$build/bin/make_survey" 100000 --missing 1 > "$tmp/s.csv"
deepest=$(tail -n 1 "$tmp/s.csv" | cut -d, -f1)
read -r rec_s _ < <(best "$db100k" "$lkrva" record --connection "Provider=SQLite;Data Source=$tmp/run.sqlite" --table survey --depth "$deepest" --declination -2.5 --quiet)
printf "4. lkrva record, deepest of 100,000 stations: %.2f s\n" "$rec_s"

if [ "${PG:-0}" = 1 ]; then
  pg_state="$tmp/pg"
  tests/data/pg-cluster.sh start "$pg_state"
  export ODBCSYSINI="$root/$build/tests/data/odbc"
  cs="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$(cat "$pg_state/port");Database=postgres;Uid=postgres;Pwd=;"
  "$build/bin/make_survey" 100000 --missing 1 > "$tmp/s.csv"
  "$lkrva" import "$tmp/s.csv" --connection "$cs" --table survey --create >/dev/null
  start=$(date +%s.%N)
  "$lkrva" table --connection "$cs" --table survey --declination -2.5 --quiet >/dev/null
  end=$(date +%s.%N)
  printf "5. PostgreSQL through ODBC, 100,000 stations: %.1f s, %.0f stations/s\n" \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { print 100000 / (b - a) }')"
fi
