#!/bin/sh
# Installs what is missing, builds, and runs every test: the whole suite,
# then everything but the benchmarks again under AddressSanitizer and UBSan
# (the Qt view and its tests too, on the offscreen platform), then the
# Qt-free core and its tests built for Windows and run under Wine (when
# installed), then each fuzz target for 15 seconds.
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
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j"$jobs"
if command -v wine >/dev/null; then
    # A Wine folder of its own in the build folder, no display, no questions
    # (no .NET or browser engine to install) and none of Wine's messages:
    # only the tests' output, failures in full.
    (
        export WINEPREFIX="$PWD/build/mingw/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
        [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
        status=0
        wine build/mingw/tests/orbus_core_tests.exe --gtest_brief=1 || status=$?
        wineserver --wait
        exit $status
    )
else
    echo "Wine is not installed: the Windows build of the core tests was built but not run (scripts/install-deps.sh test)."
fi
./scripts/fuzz.sh 15
