#!/bin/sh
# Installs into a temporary prefix, makes it read-only, runs both programs
# from there and checks that they wrote only into the user's XDG folders.
# CI runs as root, for whom read-only modes do not stop a write, so the
# prefix is also compared with a snapshot taken before the run.
#   readonly_prefix.sh BUILD_DIR
set -eu
build=$1
here=$(dirname "$0")
. "$here/run_installed.sh"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix="$work/prefix"

"${CMAKE_COMMAND:-cmake}" --install "$build" --prefix "$prefix" >/dev/null
for f in bin/tarvix bin/tarvix-cli share/tarvix/_initsound.syx share/tarvix/help/index.html \
         share/tarvix/help/connecting.html share/applications/org.tarvix.Tarvix.desktop \
         share/metainfo/org.tarvix.Tarvix.metainfo.xml share/icons/hicolor/scalable/apps/org.tarvix.Tarvix.svg \
         share/man/man1/tarvix-cli.1; do
  test -f "$prefix/$f" || fail "not installed: $f"
done
grep -q 'tarvix-cli' "$prefix/share/man/man1/tarvix-cli.1" || fail "the manual page is empty"
grep -q 'sort' "$prefix/share/man/man1/tarvix-cli.1" || fail "the manual page lacks the sub-commands"

chmod -R a-w "$prefix"
snapshot() { (cd "$prefix" && find . -printf '%p %y %s %m %T@\n' | sort); }
before=$(snapshot)
sleep 1  # file times have a resolution; later writes must be newer
touch "$work/start"

run_installed "$prefix" "$work"

after=$(snapshot)
test "$before" = "$after" || fail "the install tree changed"
test -z "$(find "$prefix" -newer "$work/start")" || fail "written below the prefix: $(find "$prefix" -newer "$work/start")"
# Everything new lies in the user's folders or the named outputs.
stray=$(find "$work" -newer "$work/start" -type f \
          ! -path "$work/config/*" ! -path "$work/data/*" ! -path "$work/state/*" \
          ! -path "$work/cache/*" ! -path "$work/runtime/*" ! -path "$work/out/*")
test -z "$stray" || fail "files written outside the XDG folders: $stray"
echo "installed tree stayed untouched; files only in the XDG folders"
