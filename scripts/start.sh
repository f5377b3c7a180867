#!/usr/bin/env bash
# Sets up, builds and starts Tarvix. Only the program and tarvix-cli are
# built, not the tests and benchmarks, so a first start is quick.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
TARGETS="tarvix tarvix-cli" scripts/build.sh
exec build/tarvix "$@"
