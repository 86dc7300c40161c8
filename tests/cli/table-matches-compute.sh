#!/bin/sh
# A survey imported into SQLite and computed by `lkrva table` holds, once
# exported, exactly what `lkrva compute` writes for the same CSV; and
# `lkrva record` gives the deepest station's values again.
# Usage: table-matches-compute.sh LKRVA SURVEY.csv WORKDIR
set -eu
lkrva=$1
survey=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
db="$work/survey.sqlite"
: > "$db"
cs="Provider=SQLite;Data Source=$db"

"$lkrva" import "$survey" --connection "$cs" --table survey --create
"$lkrva" table --connection "$cs" --table survey --declination -2.5 --gtdjs 25
"$lkrva" export --connection "$cs" --table survey --out "$work/table.csv"
"$lkrva" compute "$survey" --declination -2.5 --gtdjs 25 > "$work/compute.csv"
if ! cmp -s "$work/table.csv" "$work/compute.csv"; then
  diff "$work/table.csv" "$work/compute.csv" | head -20
  echo "table and compute differ" >&2
  exit 1
fi

deepest=$(tail -n 1 "$work/compute.csv")
depth=${deepest%%,*}
"$lkrva" record --connection "$cs" --table survey --depth "$depth" --declination -2.5 --gtdjs 25 \
  --csv > "$work/record.csv"
# record prints JXJ,FWJ,CZJS,BHJ,BHFW,X,Y,JYQL; compute JS,JXJ,FWJ,CZJS,X,Y,BHFW,BHJ,JYQL.
expected=$(echo "$deepest" | awk -F, '{ print $2","$3","$4","$8","$7","$5","$6","$9 }')
got=$(tail -n 1 "$work/record.csv")
if [ "$got" != "$expected" ]; then
  echo "record gave $got, compute $expected" >&2
  exit 1
fi
echo "table, export, compute and record agree"
