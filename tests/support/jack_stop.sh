#!/bin/sh
# Stops the server jack_start.sh started, by its own PID: TERM, wait, KILL;
# then removes its shared-memory files. Usage: jack_stop.sh NAME STATE_DIR.
set -u
name=$1
state=$2
pidfile="$state/jackd.pid"
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
if kill -0 "$pid" 2>/dev/null; then
  kill -TERM "$pid" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
fi
rm -f "$pidfile"
rm -f /dev/shm/jack*_"$name"_* 2>/dev/null
exit 0
