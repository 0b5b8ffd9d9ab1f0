#!/bin/sh
# Installs the Debian packages a task needs, when missing.
#
#   scripts/install-deps.sh panel       build and run the panel
#   scripts/install-deps.sh screenshot  the panel, and pictures of it on a virtual screen
#   scripts/install-deps.sh package     the panel, and its Debian package (cpack -G DEB)
#   scripts/install-deps.sh test        everything the test command needs (the default)
#
# Several tasks may be named at once.
set -e

panel="build-essential cmake pkg-config qt6-base-dev qt6-serialport-dev qt6-websockets-dev libgl-dev nlohmann-json3-dev libsdl2-dev"
screenshot="xvfb xdotool x11-utils imagemagick"
package="dpkg-dev file"
# GoogleTest and Google Benchmark; the install test's validators; clang with
# its fuzzing and sanitizer runtime; ser2net, the serial device server the
# network-port tests put in front of the camera simulator; the screenshot
# and package tools; curl, python3-websockets and headless Chromium, the
# JSON API's and the web remote's real clients.
test="libgtest-dev libgmock-dev googletest libbenchmark-dev desktop-file-utils appstream
      clang libclang-rt-14-dev ser2net curl python3-websockets chromium $screenshot $package"
# The Windows build of the Qt-free core and its tests (MinGW-w64, posix
# threads; GoogleTest from the googletest sources above), run under Wine.
windows="g++-mingw-w64-x86-64-posix nlohmann-json3-dev wine wine64"

[ $# -gt 0 ] || set -- test
need="$panel"
for task in "$@"; do
    case "$task" in
    panel) ;;
    screenshot) need="$need $screenshot" ;;
    package) need="$need $package" ;;
    test) need="$need $test $windows" ;;
    *)
        echo "usage: $0 [panel|screenshot|package|test]..." >&2
        exit 2
        ;;
    esac
done

missing=""
for p in $need; do
    case " $missing " in *" $p "*) continue ;; esac
    dpkg-query -W -f '${Status}' "$p" 2>/dev/null | grep -q ' installed$' || missing="$missing $p"
done
[ -n "$missing" ] || exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Not root and no sudo: as root, run apt-get install$missing" >&2; exit 1; }
    SUDO="sudo"
fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
