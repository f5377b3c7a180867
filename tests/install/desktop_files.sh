#!/bin/sh
# The desktop entry and the AppStream metadata pass their validators.
#   desktop_files.sh RESOURCES_DIR CONFIGURED_METAINFO
set -eu
res=$1 metainfo=$2
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done
desktop-file-validate "$res/org.tarvix.Tarvix.desktop"
appstreamcli validate --no-net "$metainfo"
# The metadata names the desktop entry and the icon that are shipped.
grep -q '<launchable type="desktop-id">org.tarvix.Tarvix.desktop</launchable>' "$metainfo"
grep -q '^Icon=org.tarvix.Tarvix$' "$res/org.tarvix.Tarvix.desktop"
test -f "$res/org.tarvix.Tarvix.svg"
echo "desktop entry and AppStream metadata are valid"
