#!/bin/sh
# Builds the Debian package from the existing build, unpacks it into a
# scratch root and runs the programs from there.
#   debian_package.sh BUILD_DIR
set -eu
build=$1
here=$(dirname "$0")
. "$here/run_installed.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"${CPACK_COMMAND:-cpack}" --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/pkg/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Worked out from the linked libraries, not written by hand.
for lib in libc6 libqt6widgets6 librtmidi libstdc++6; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib"
done
dpkg-deb -c "$deb" >"$work/contents"
grep -q './usr/bin/tarvix$' "$work/contents" || fail "no usr/bin/tarvix in the package"
grep -q './usr/share/tarvix/help/index.html$' "$work/contents" || fail "no manual in the package"

dpkg -x "$deb" "$work/root"
run_installed "$work/root/usr" "$work"
echo "package $(basename "$deb") unpacks and runs"
