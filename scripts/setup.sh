#!/usr/bin/env bash
# Installs what Tarvix needs to build, run and test on Debian 12 (as root).
# Safe to run again: it installs only what is missing.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  librtmidi-dev libjack-jackd2-dev libsimpleini-dev nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  jackd2 xvfb xauth
  help2man desktop-file-utils appstream dpkg-dev file
  clang libclang-rt-14-dev lld gcovr
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  # jackd2 asks about real-time priority unless told not to.
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
