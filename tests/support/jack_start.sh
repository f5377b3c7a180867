#!/bin/sh
# Starts a private JACK server with the dummy backend for the MIDI transport
# tests. Usage: jack_start.sh NAME STATE_DIR. The PID goes to STATE_DIR/jackd.pid
# so jack_stop.sh stops exactly this server and nothing else.
set -eu
name=$1
state=$2
mkdir -p "$state"
export JACK_NO_START_SERVER=1
setsid jackd -n "$name" -r -d dummy -r 48000 -p 64 </dev/null >"$state/jackd.log" 2>&1 &
echo $! >"$state/jackd.pid"
if ! jack_wait -s "$name" -w -t 10 >/dev/null; then
  echo "jackd $name did not come up:" >&2
  cat "$state/jackd.log" >&2
  exit 1
fi
