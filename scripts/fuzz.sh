#!/usr/bin/env bash
# Builds the fuzz targets with clang + libFuzzer + AddressSanitizer into
# build-fuzz and runs each one for FUZZ_SECONDS (default 30), starting from
# its seed corpus in fuzz/corpus/. New inputs found go to a scratch folder, not
# into the tree; a crash leaves its input in build-fuzz/crashes/ and fails.
# Without clang or a working libFuzzer it says so and does nothing.
#   scripts/fuzz.sh [TARGET...]      (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
BUILD_DIR=${BUILD_DIR:-build-fuzz}

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, fuzzing skipped"
  exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address "$probe/p.cpp" -o "$probe/p" 2>"$probe/err"; then
  echo "fuzz: clang++ cannot link -fsanitize=fuzzer, fuzzing skipped:"
  head -3 "$probe/err"
  exit 0
fi

CC=clang CXX=clang++ BUILD_DIR="$BUILD_DIR" TARGETS=fuzz_targets scripts/build.sh -DTARVIX_FUZZ=ON

targets=("$@")
((${#targets[@]})) || targets=(soundfile midifile settings schema dispatcher)
mkdir -p "$BUILD_DIR/crashes"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
failed=()
for t in "${targets[@]}"; do
  scratch="$probe/corpus-$t"
  mkdir -p "$scratch"
  echo "fuzz: $t for ${FUZZ_SECONDS}s"
  if "$BUILD_DIR/fuzz_$t" "$scratch" "fuzz/corpus/$t" -max_total_time="$FUZZ_SECONDS" -max_len=4096 \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/crashes/$t-" \
      >"$BUILD_DIR/fuzz-$t.log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$BUILD_DIR/fuzz-$t.log" | sed "s/^/fuzz: $t /" || true
  else
    echo "fuzz: $t FAILED; the end of its log:"
    tail -40 "$BUILD_DIR/fuzz-$t.log"
    failed+=("$t")
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: failing targets: ${failed[*]} (inputs in $BUILD_DIR/crashes/)"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran without a failure"
