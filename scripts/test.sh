#!/usr/bin/env bash
# Sets up, builds and runs every test twice: a plain build (build-check), then
# a build with AddressSanitizer and UndefinedBehaviorSanitizer. Where clang
# with libFuzzer is present (scripts/setup.sh installs it), the sanitizer build
# is a clang build (build-san) that also holds the fuzz targets, and each
# target runs for a short while (FUZZ_SECONDS, default 10) before the sanitizer
# suite: one build serves both. Without clang the sanitizer build uses gcc
# (build-asan) and fuzzing is skipped. The build types trade debug information
# for build time (see CMakeLists.txt); scripts/start.sh builds into build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The tests mostly wait on timers, so more run at once than there are cores.
JOBS=${CTEST_JOBS:-4}
SECONDS=0
took() { echo "test.sh: $1 after $((SECONDS / 60)) min $((SECONDS % 60)) s"; }

BUILD_DIR=build-check scripts/build.sh -DCMAKE_BUILD_TYPE=Check
took "plain build"
(cd build-check && ctest --output-on-failure -j"$JOBS")
took "plain suite"

if scripts/fuzz.sh --probe; then
  CC=clang CXX=clang++ BUILD_DIR=build-san scripts/build.sh -DCMAKE_BUILD_TYPE=SanCheck \
    -DTARVIX_SANITIZE=address,undefined -DTARVIX_FUZZ=ON
  took "sanitizer build"
  BUILD_DIR=build-san FUZZ_SECONDS=${FUZZ_SECONDS:-10} scripts/fuzz.sh
  took "fuzzing"
  (cd build-san && ctest --output-on-failure -j"$JOBS")
else
  BUILD_DIR=build-asan scripts/build.sh -DCMAKE_BUILD_TYPE=SanCheck -DTARVIX_SANITIZE=address,undefined
  took "sanitizer build"
  (cd build-asan && ctest --output-on-failure -j"$JOBS")
fi
took "sanitizer suite"
