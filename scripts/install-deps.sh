#!/bin/sh
# Installs what the build, the tests and the panel need, when missing (Debian).
set -e
need="build-essential cmake pkg-config qt6-base-dev qt6-serialport-dev libgl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth desktop-file-utils appstream clang libclang-rt-14-dev"
missing=""
for p in $need; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
