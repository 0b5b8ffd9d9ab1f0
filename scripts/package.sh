#!/bin/sh
# Builds the Debian package of the panel: orbus-panel and orbus-camsim
# (stripped), the desktop entry, the icons and the AppStream description,
# with the libraries they need as dependencies. Prints its fields and
# contents, and its path last.
#
#   scripts/package.sh [OUTDIR]     (default build/package)
set -e
cd "$(dirname "$0")/.."
out="${1:-build/package}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
./scripts/install-deps.sh package
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target orbus-panel orbus-camsim
mkdir -p "$out"
cpack --config build/dev/CPackConfig.cmake -G DEB -B "$out"
rm -rf "$out/_CPack_Packages"
deb="$(ls -t "$out"/orbus-panel_*.deb | head -n 1)"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "$deb"
