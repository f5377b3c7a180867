#!/usr/bin/env bash
# Line coverage of the core library (no Qt) by the core test programs and
# the fuzz corpus replays (some properties are checked only there):
# builds them with gcc --coverage into build-cov, runs them and prints the
# gcovr summary per file and in total. The port drivers (RtMidi, JACK) live
# in tarvix_midi_rtmidi, not in the core, and are left out of the figure. Not part of CI (it is a separate,
# slow build); run it by hand when the figure in docs/ARCHITECTURE.md is due.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-cov}
TESTS="test_library test_midi test_convert test_keyboard test_editor_params test_editor_patchedit
test_editor_schema test_tools test_cli"
TARGETS="$(echo $TESTS) fuzz_replay tarvix-cli" BUILD_DIR="$BUILD_DIR" scripts/build.sh \
  -DTARVIX_COVERAGE=ON -DTARVIX_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
find "$BUILD_DIR" -name '*.gcda' -delete
regex="^($(echo $TESTS | tr ' ' '|')|fuzz_replay_.*|midi_jack_start|midi_jack_stop)\$"
(cd "$BUILD_DIR" && ctest -j2 -R "$regex" --output-on-failure) || true
gcovr -r . "$BUILD_DIR" -j2 --filter 'library/' --filter 'midi/' --filter 'editor/' --filter 'tools/' \
  --exclude 'midi/JackMidi.cpp' --exclude 'midi/RtMidiDriver.cpp' --exclude 'midi/InstrumentPorts.cpp' \
  --exclude-unreachable-branches --print-summary --txt "$BUILD_DIR/coverage.txt" | tail -3
echo "per file: $BUILD_DIR/coverage.txt"
