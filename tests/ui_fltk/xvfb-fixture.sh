#!/bin/sh
# Starts and stops the virtual X server that the windowed user-interface tests
# draw on.
#
#   xvfb-fixture.sh start STATE   start Xvfb on the first free display from :91
#   xvfb-fixture.sh stop STATE    stop the Xvfb that "start" wrote into STATE
#
# STATE gets the display (":91") on its first line and the server's process id
# on its second; or the single line "none" when Xvfb is not installed, which
# the tests take as the reason to skip (to fail when CI=true).
set -u
action=${1:?start or stop}
state=${2:?state file}

case $action in
start)
  rm -f "$state"
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo none >"$state"
    echo "Xvfb is not installed"
    exit 0
  fi
  n=91
  while [ "$n" -le 140 ]; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      # Detached from our output, so that CTest does not wait for the server.
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset </dev/null >"$state.log" 2>&1 &
      pid=$!
      tries=0
      while [ "$tries" -lt 100 ]; do
        if [ -S "/tmp/.X11-unix/X$n" ]; then
          printf ':%s\n%s\n' "$n" "$pid" >"$state"
          echo "Xvfb on :$n, process $pid"
          exit 0
        fi
        # Another server took the number first: try the next one.
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
        tries=$((tries + 1))
      done
      kill "$pid" 2>/dev/null
    fi
    n=$((n + 1))
  done
  echo "no free display from :91 to :140 for Xvfb" >&2
  cat "$state.log" >&2 2>/dev/null
  exit 1
  ;;
stop)
  if [ -f "$state" ]; then
    pid=$(sed -n 2p "$state")
    if [ -n "$pid" ]; then
      kill "$pid" 2>/dev/null
      tries=0
      while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
      done
    fi
    rm -f "$state"
  fi
  exit 0
  ;;
*)
  echo "usage: $0 start|stop STATE" >&2
  exit 2
  ;;
esac
