#!/bin/sh
# Builds the Debian package into a scratch folder and checks it: the fields
# a package needs, dependencies on the libraries the programs link, and
# every installed file under /usr.
set -eu
build="$1"
id="$2"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh package installs it)"; exit 1; }
done
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb="$(ls "$out"/orbus-panel_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || { cat "$out/cpack.log"; echo "no package built"; exit 1; }

fail=0
field() { dpkg-deb --field "$deb" "$1"; }
# field, and an extended regular expression its value must match
while read -r name pattern; do
    value="$(field "$name")"
    echo "$value" | grep -Eq "$pattern" || { echo "field $name is '$value', not like $pattern"; fail=1; }
done <<EOT
Package ^orbus-panel$
Version ^[0-9]+\.[0-9]+\.[0-9]+-[0-9]+$
Architecture ^[a-z0-9]+$
Maintainer ^[^<]+ <[^@> ]+@[^> ]+>$
Section ^video$
Priority ^optional$
Description ^control panel for serial-controlled video cameras
Depends libqt6widgets6 \(>=
Depends libqt6serialport6 \(>=
Depends libstdc\+\+6 \(>=
Depends libc6 \(>=
EOT

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$out/files"
for f in /usr/bin/orbus-panel /usr/bin/orbus-camsim \
         "/usr/share/applications/$id.desktop" \
         "/usr/share/icons/hicolor/scalable/apps/$id.svg" \
         "/usr/share/icons/hicolor/64x64/apps/$id.png" \
         "/usr/share/metainfo/$id.metainfo.xml" \
         /usr/share/doc/orbus-panel/copyright; do
    grep -qx "$f" "$out/files" || { echo "missing from the package: $f"; fail=1; }
done
if grep -v '^/usr/' "$out/files" | grep -q .; then
    echo "outside /usr:"; grep -v '^/usr/' "$out/files"; fail=1
fi
# Stripped programs: no debugging sections.
dpkg-deb -x "$deb" "$out/root"
for b in orbus-panel orbus-camsim; do
    file "$out/root/usr/bin/$b" | grep -q ', stripped' || { echo "$b is not stripped"; fail=1; }
done
exit $fail
