#!/bin/sh
# Runs bench_midi_jack against a private JACK server (dummy backend, 48 kHz,
# period 64), started and stopped here. Usage:
#   sh bench/run-jack-bench.sh [BUILD_DIR] [benchmark options ...]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
[ $# -gt 0 ] && shift
name="tarvix-bench-$$"
state=$(mktemp -d)
trap 'sh "$here/tests/support/jack_stop.sh" "$name" "$state"; rm -rf "$state"' EXIT INT TERM
sh "$here/tests/support/jack_start.sh" "$name" "$state"
JACK_DEFAULT_SERVER=$name "$build/bench_midi_jack" "$@"
