#!/bin/sh
# Starts or stops the throwaway PostgreSQL 15 cluster of the data tests.
#   pg-cluster.sh start STATE_DIR   initdb + start on 127.0.0.1, a free port;
#                                   writes STATE_DIR/port and STATE_DIR/datadir
#   pg-cluster.sh stop STATE_DIR    stops it and removes its files
# Without PostgreSQL installed, start succeeds with nothing started (the
# tests then skip), except under CI=true, where it fails.
set -eu
action=$1
state=$2
bin=/usr/lib/postgresql/15/bin

# initdb and postgres refuse to run as root: CI runs as root, so the
# cluster belongs to the postgres system user.
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$action" in
start)
  rm -rf "$state"
  mkdir -p "$state"
  if [ ! -x "$bin/initdb" ]; then
    echo "pg-cluster: PostgreSQL 15 is not installed ($bin/initdb)" >&2
    [ "${CI:-}" = true ] && exit 1
    exit 0
  fi
  dir=$(mktemp -d /tmp/lkrva-pg.XXXXXX)
  chmod 700 "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
  echo "$dir" > "$state/datadir"
  as_pg "$bin/initdb" -D "$dir/data" -U postgres --auth=trust -E UTF8 --no-locale >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  # Try ports until one is free; the server itself says whether it is.
  for try in 1 2 3 4 5 6 7 8 9 10; do
    port=$(( 20000 + ($$ * 7 + try * 7919) % 40000 ))
    if as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null 2>&1; then
      echo "$port" > "$state/port"
      exit 0
    fi
  done
  cat "$dir/server.log" >&2
  exit 1
  ;;
stop)
  [ -f "$state/datadir" ] || exit 0
  dir=$(cat "$state/datadir")
  as_pg "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$dir" "$state/port" "$state/datadir"
  ;;
*)
  echo "usage: pg-cluster.sh start|stop STATE_DIR" >&2
  exit 2
  ;;
esac
