#!/bin/sh
# The panel on a real (virtual) X screen through scripts/screenshot.sh: the
# port dialog takes OK, the main window opens on the simulated camera, and
# the picture is of the screen's size and not blank.
set -eu
panel="$1"
script="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
command -v identify >/dev/null || { echo "identify is not installed (scripts/install-deps.sh screenshot installs it)"; exit 1; }

fail=0
# models, screen, scale
while read -r models size scale; do
    shot="$work/$models-$size.png"
    if ! ORBUS_PANEL="$panel" ORBUS_SHOT_SETTLE=1 sh "$script" "$models" "$size" "$scale" "$shot"; then
        echo "no picture of $models on $size at $scale"
        fail=1
        continue
    fi
    got="$(identify -format '%wx%h %k' "$shot")"
    [ "${got% *}" = "$size" ] || { echo "$models: picture of ${got% *}, not $size"; fail=1; }
    [ "${got#* }" -gt 16 ] || { echo "$models: picture of ${got#* } colours only: blank?"; fail=1; }
done <<EOT
ORX-Kappa 1366x768 1
KBM-R05 1280x720 1.5
EOT
# A port the panel refuses is told, not waited out.
if ORBUS_PANEL="$panel" sh "$script" NOPE 800x600 1 "$work/nope.png" 2>"$work/nope.log"; then
    echo "a refused port gave a picture"; fail=1
fi
grep -q "refused the port" "$work/nope.log" || { cat "$work/nope.log"; fail=1; }
exit $fail
