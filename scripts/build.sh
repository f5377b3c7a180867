#!/usr/bin/env bash
# Configures and builds Tarvix into BUILD_DIR (default: build). Extra
# arguments go to cmake, e.g. -DTARVIX_SANITIZE=address,undefined.
# TARGETS (space-separated) builds only those targets; default: everything.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja "$@" >/dev/null
if [[ -n "${TARGETS:-}" ]]; then
  # shellcheck disable=SC2086 # one word per target
  cmake --build "$BUILD_DIR" --target $TARGETS
else
  cmake --build "$BUILD_DIR"
fi
