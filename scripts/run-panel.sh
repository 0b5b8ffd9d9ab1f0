#!/bin/sh
# Installs what is missing, builds, and opens the panel. "Com 1" is a
# simulated ORX-Kappa unless ORBUS_COM1 says otherwise (a device path, or
# sim:<model>[,<model>...]).
#
#   scripts/run-panel.sh                    open the panel on this display
#   scripts/run-panel.sh --screenshot FILE  take a picture of it instead, on a
#                                           virtual 1920x1080 screen (no display
#                                           needed), and exit
#
# Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) the panel has
# nowhere to show: the command says so and exits with status 3.
set -e
cd "$(dirname "$0")/.."

shot=""
case "${1:-}" in
"") ;;
--screenshot)
    [ -n "${2:-}" ] || { echo "usage: $0 [--screenshot FILE.png]" >&2; exit 2; }
    shot="$2"
    ;;
*)
    echo "usage: $0 [--screenshot FILE.png]" >&2
    exit 2
    ;;
esac

export ORBUS_COM1="${ORBUS_COM1:-sim:ORX-Kappa}"
if [ -n "$shot" ]; then
    case "$ORBUS_COM1" in
    sim:*) ;;
    *)
        echo "--screenshot shows a simulated chain: set ORBUS_COM1 to sim:<model>[,<model>...], not $ORBUS_COM1" >&2
        exit 2
        ;;
    esac
    ./scripts/install-deps.sh panel screenshot
else
    ./scripts/install-deps.sh panel
fi
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target orbus-panel orbus-camsim

if [ -n "$shot" ]; then
    exec ./scripts/screenshot.sh "${ORBUS_COM1#sim:}" 1920x1080 1 "$shot"
fi
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
    cat >&2 <<EOF
The panel is built (build/dev/orbus-panel), but there is no display to open it
on: neither DISPLAY nor WAYLAND_DISPLAY is set. Run this from a desktop session
(or ssh -X), or take a picture of the panel on a virtual screen instead:

    ./scripts/run-panel.sh --screenshot panel.png
EOF
    exit 3
fi
exec ./build/dev/orbus-panel
