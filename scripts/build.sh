#!/usr/bin/env bash
# Configures and builds Tarvix into BUILD_DIR (default: build). Extra
# arguments go to cmake, e.g. -DTARVIX_SANITIZE=address,undefined.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja "$@" >/dev/null
cmake --build "$BUILD_DIR"
