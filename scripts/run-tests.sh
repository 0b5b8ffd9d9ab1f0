#!/bin/sh
# Installs what is missing, builds, and runs every test: the whole suite,
# then everything but the benchmarks again under AddressSanitizer and UBSan
# (the Qt view and its tests too, on the offscreen platform), then each fuzz
# target for 15 seconds.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs" --no-tests=error
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs" --no-tests=error
./scripts/fuzz.sh 15
