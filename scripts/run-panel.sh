#!/bin/sh
# Installs what is missing, builds, and opens the panel. "Com 1" is a
# simulated ORX-Kappa unless ORBUS_COM1 says otherwise (a device path, or
# sim:<model>[,<model>...]).
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target orbus-panel orbus-camsim
export ORBUS_COM1="${ORBUS_COM1:-sim:ORX-Kappa}"
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
    echo "No display found: running the panel on a virtual screen (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1600x1000x24" ./build/dev/orbus-panel
fi
exec ./build/dev/orbus-panel
