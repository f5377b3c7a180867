#!/usr/bin/env bash
# Builds the fuzz targets with clang + libFuzzer + AddressSanitizer into
# BUILD_DIR (default build-fuzz) and runs each one for FUZZ_SECONDS (default
# 30), starting from its seed corpus in fuzz/corpus/, as many at a time as the
# machine has cores. New inputs found go to a scratch folder, not into the
# tree; a crash leaves its input in BUILD_DIR/crashes/ and fails.
# Without clang or a working libFuzzer it says so and does nothing.
#   scripts/fuzz.sh [TARGET...]      (default: every target)
#   scripts/fuzz.sh --probe          (exit 0 when fuzzing is possible here)
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
BUILD_DIR=${BUILD_DIR:-build-fuzz}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
can_fuzz() {
  command -v clang++ >/dev/null || { echo "fuzz: clang++ not found, fuzzing skipped"; return 1; }
  printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' >"$probe/p.cpp"
  if ! clang++ -fsanitize=fuzzer,address "$probe/p.cpp" -o "$probe/p" 2>"$probe/err"; then
    echo "fuzz: clang++ cannot link -fsanitize=fuzzer, fuzzing skipped:"
    head -3 "$probe/err"
    return 1
  fi
}
if [[ "${1:-}" == "--probe" ]]; then
  can_fuzz >/dev/null
  exit
fi
can_fuzz || exit 0

# A build directory already configured for fuzzing (scripts/test.sh makes its
# sanitizer build one) is reused as it is; otherwise one is configured here.
CC=clang CXX=clang++ BUILD_DIR="$BUILD_DIR" TARGETS=fuzz_targets scripts/build.sh -DTARVIX_FUZZ=ON

targets=("$@")
((${#targets[@]})) || targets=(soundfile midifile settings schema dispatcher)
mkdir -p "$BUILD_DIR/crashes"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_one() {
  local t=$1 scratch="$probe/corpus-$1"
  mkdir -p "$scratch"
  if "$BUILD_DIR/fuzz_$t" "$scratch" "fuzz/corpus/$t" -max_total_time="$FUZZ_SECONDS" -max_len=4096 \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/crashes/$t-" \
      >"$BUILD_DIR/fuzz-$t.log" 2>&1; then
    echo "fuzz: $t $(grep -E '^stat::number_of_executed_units' "$BUILD_DIR/fuzz-$t.log" | awk '{print $2}') inputs in ${FUZZ_SECONDS}s, no failure"
  else
    echo "fuzz: $t FAILED; the end of its log:"
    tail -40 "$BUILD_DIR/fuzz-$t.log"
    return 1
  fi
}

jobs_max=$(nproc 2>/dev/null || echo 1)
echo "fuzz: ${#targets[@]} targets, ${FUZZ_SECONDS}s each, $jobs_max at a time"
failed=()
for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs_max)); do wait -n || true; done
  run_one "$t" >"$probe/result-$t" 2>&1 &
done
wait || true
for t in "${targets[@]}"; do
  cat "$probe/result-$t"
  grep -q "^fuzz: $t FAILED" "$probe/result-$t" && failed+=("$t")
done
if ((${#failed[@]})); then
  echo "fuzz: failing targets: ${failed[*]} (inputs in $BUILD_DIR/crashes/)"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran without a failure"
