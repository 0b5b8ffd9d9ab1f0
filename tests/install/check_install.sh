#!/bin/sh
# Installs the build into a scratch prefix and checks that it is a desktop
# program: both programs, the desktop entry, the icons and the AppStream
# description, with the desktop entry and the description validated.
set -eu
build="$1"
id="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
for f in bin/orbus-panel bin/orbus-camsim \
         "share/applications/$id.desktop" \
         "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/icons/hicolor/64x64/apps/$id.png" \
         "share/metainfo/$id.metainfo.xml" \
         share/doc/orbus-panel/copyright; do
    if [ ! -e "$prefix/$f" ]; then
        echo "missing after install: $f"
        fail=1
    fi
done
[ -x "$prefix/bin/orbus-panel" ] || { echo "orbus-panel is not executable"; fail=1; }

for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh installs it)"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail=1
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail=1
grep -q "version=\"[0-9]" "$prefix/share/metainfo/$id.metainfo.xml" || { echo "no release version"; fail=1; }
exit $fail
