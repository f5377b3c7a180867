#!/usr/bin/env bash
# Sets up, builds and runs every test twice: a plain build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. In between, each fuzz
# target runs for a short while (scripts/fuzz.sh; skipped without clang).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

BUILD_DIR=build scripts/build.sh
(cd build && ctest --output-on-failure -j2)

# Before the sanitizer suite, so that a test runner's summary closes the output.
FUZZ_SECONDS=${FUZZ_SECONDS:-30} scripts/fuzz.sh

BUILD_DIR=build-asan scripts/build.sh -DTARVIX_SANITIZE=address,undefined
(cd build-asan && ctest --output-on-failure -j2)
