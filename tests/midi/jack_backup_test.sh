#!/bin/sh
# End to end over a real MIDI transport: tarvix-cli instrument in one process
# on the private JACK server, tarvix-cli backup in another reads all 1024
# sounds; they must equal what the built-in instrument gives in-process. Then
# a restore sends them back. Usage: jack_backup_test.sh CLI STATE_DIR
# (JACK_DEFAULT_SERVER names the server).
set -eu
cli=$1
state=$2
work="$state/backup.$$"
mkdir -p "$work"
inst_pid=
noisy_pid=
mon_pid=
cleanup() {
  for pid in $inst_pid $noisy_pid $mon_pid; do
    stop "$pid" "a process left running" || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
# Each step says when it starts, so a run that hangs shows where.
started=$(date +%s)
step() { echo "[$(($(date +%s) - started)) s] $*" >&2; }
# Every command ends within a minute, or the test fails saying which did not:
# a hang is a fault to report, not something to wait out.
cli() {
  rc=0
  timeout -k 5 60 "$cli" "$@" || rc=$?
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    echo "tarvix-cli $1 did not end within 60 s" >&2
    exit 1
  fi
  return $rc
}
# TERM must stop a process within ten seconds; its exit status is returned.
stop() {
  kill -TERM "$1" 2>/dev/null || true
  (sleep 10; kill -KILL "$1") >/dev/null 2>&1 &
  guard=$!
  rc=0
  wait "$1" || rc=$?
  kill "$guard" 2>/dev/null || true
  if [ $rc -eq 137 ]; then echo "$2 did not stop within 10 s of TERM" >&2; fi
  return $rc
}
# Waits for an instrument (pid $1) to say in its log ($2) that it is ready.
ready() {
  i=0
  until grep -q ready "$2"; do
    i=$((i + 1))
    if [ $i -gt 100 ] || ! kill -0 "$1" 2>/dev/null; then
      echo "the instrument did not start:" >&2
      cat "$2" >&2
      exit 1
    fi
    sleep 0.1
  done
}

step "instrument starts"
"$cli" instrument --jack --name TarvixSim --latency 0 2>"$work/instrument.log" &
inst_pid=$!
ready "$inst_pid" "$work/instrument.log"

cli ports --jack
step "backup of all banks"
cli backup "$work/jack.syx" --jack --port TarvixSim --delay 0 --timeout 5000
cli backup "$work/inproc.syx" --port virtual --delay 0 --timeout 5000
size=$(wc -c <"$work/jack.syx")
[ "$size" -eq 401408 ] || { echo "backup holds $size bytes, expected 401408" >&2; exit 1; }
cmp "$work/jack.syx" "$work/inproc.syx"

# A backup of one bank with a trace: requests go out, replies come in.
step "traced backup of bank C"
cli backup "$work/c.syx" --jack --port TarvixSim --banks C --delay 0 --trace 2>"$work/trace.log"
grep -q "^[0-9]* OUT F0 3E 13 00 00 02 00 7F F7$" "$work/trace.log"
grep -q "^[0-9]* IN F0 3E 13 00 10 02 7F" "$work/trace.log"

# Restore over JACK: bank C sorted by name (and so renumbered into bank A)
# goes to the instrument; a backup of bank A afterwards must give exactly that
# file, where before it did not. A server on a busy machine drops a period's
# events when a client misses its deadline, and a dump has no answer to tell;
# so a lost message earns another restore, twice at most.
step "restore of bank A"
cli sort "$work/c.syx" "$work/sorted.syx" --by name
cli backup "$work/a.syx" --jack --port TarvixSim --banks A --delay 0
if cmp -s "$work/sorted.syx" "$work/a.syx"; then
  echo "bank A already holds the sorted sounds: the restore would prove nothing" >&2
  exit 1
fi
restore_and_compare() {
  # A few milliseconds between dumps, as any instrument needs to store them:
  # at no gap at all, an instrument process slowed by the sanitizers misses
  # periods and the server drops what arrived in them.
  cli restore "$work/sorted.syx" --jack --port TarvixSim --delay 5
  cli backup "$work/a.syx" --jack --port TarvixSim --banks A --delay 0 --force
  cmp -s "$work/sorted.syx" "$work/a.syx"
}
restore_and_compare || restore_and_compare || restore_and_compare
cmp "$work/sorted.syx" "$work/a.syx"

# A one-way interface: a MIDI monitor has an input and no output, so it is
# only among our outputs. restore needs nothing more; the monitor must print
# exactly the file's bytes (two more tries for periods the server dropped).
step "restore to a one-way monitor"
stdbuf -oL jack_midi_dump TarvixOneWay >>"$work/monitor.txt" 2>&1 &
mon_pid=$!
i=0
until cli ports --jack 2>/dev/null | sed -n '/^Outputs:/,$p' | grep -q TarvixOneWay; do
  i=$((i + 1))
  [ $i -le 100 ] || { echo "the monitor did not start" >&2; exit 1; }
  sleep 0.1
done
if cli ports --jack 2>/dev/null | sed -n '/^Inputs:/,/^Outputs:/p' | grep -q TarvixOneWay; then
  echo "the monitor has an output: the test would prove nothing" >&2
  exit 1
fi
# Sixteen sounds and a gap between them: the monitor's own buffer is what
# overflows on a busy machine, not the transport under test.
dd if="$work/sorted.syx" of="$work/one-way.syx" bs=392 count=16 2>/dev/null
od -An -v -tx1 "$work/one-way.syx" | tr -d ' \n' >"$work/sorted.hex"
restore_one_way() {
  : >"$work/monitor.txt"
  cli restore "$work/one-way.syx" --jack --port TarvixOneWay --delay 20
  # The monitor prints from its own thread: wait until it has printed it all.
  local i=0
  while :; do
    sed 's/^[^:]*: //' "$work/monitor.txt" | tr -d ' \n' >"$work/monitor.hex"
    cmp -s "$work/sorted.hex" "$work/monitor.hex" && return 0
    i=$((i + 1))
    [ $i -le 100 ] || return 1
    sleep 0.1
  done
}
restore_one_way || restore_one_way || restore_one_way || {
  echo "the monitor printed $(wc -c <"$work/monitor.hex") of $(wc -c <"$work/sorted.hex") hex digits" >&2
  exit 1
}
step "monitor stops"
stop "$mon_pid" "the monitor" || [ $? -ne 137 ]
mon_pid=

# A misbehaving instrument on the same transport: every kind of damage once in
# bank B, which must still come out exact; in bank A two slots never come
# intact, and the backup keeps the other 126, names those two and fails.
step "noisy instrument"
"$cli" instrument --jack --name TarvixNoisy --latency 0 \
  --fault junk@B002 --fault split@B010 --fault cutoff@B020 --fault interleave@B030 --fault wrongslot@B040 \
  --fault editbuffer@B050 --fault duplicate@B060 --fault drop@B070 --fault corrupt@B080 --fault corrupt7f@B090 \
  --fault truncate@B100 --fault delay@B110 --fault flood@B120 \
  --fault drop@A041! --fault corrupt@A051! 2>"$work/noisy.log" &
noisy_pid=$!
ready "$noisy_pid" "$work/noisy.log"
cli backup "$work/noisy-b.syx" --jack --port TarvixNoisy --banks B
dd if="$work/inproc.syx" of="$work/inproc-b.syx" bs=392 skip=128 count=128 2>/dev/null
cmp "$work/noisy-b.syx" "$work/inproc-b.syx"
if cli backup "$work/noisy-a.syx" --jack --port TarvixNoisy --banks A 2>"$work/noisy-a.log"; then
  echo "a backup missing two sounds succeeded" >&2
  exit 1
fi
grep -q "wrote 126 of 128 sounds; missing 2: A041, A051$" "$work/noisy-a.log"
[ "$(wc -c <"$work/noisy-a.syx")" -eq $((126 * 392)) ]
step "noisy instrument stops"
stop "$noisy_pid" "the noisy instrument"
noisy_pid=

# Refusing to overwrite without --force, and nothing written on failure.
step "refusals"
if cli backup "$work/c.syx" --jack --port TarvixSim --banks C 2>/dev/null; then
  echo "backup replaced a file without --force" >&2
  exit 1
fi
step "instrument stops"
stop "$inst_pid" "the instrument"
inst_pid=
if cli backup "$work/none.syx" --jack --port TarvixSim --timeout 500 2>"$work/err.log"; then
  echo "backup succeeded without an instrument" >&2
  exit 1
fi
[ ! -e "$work/none.syx" ]
echo "jack end-to-end: ok"
