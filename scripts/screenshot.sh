#!/bin/sh
# Takes a picture of the panel on a simulated chain, on a virtual screen of
# its own; builds nothing.
#
#   scripts/screenshot.sh <model-list> <WxH> <scale> <out.png>
#   scripts/screenshot.sh ORX-Kappa 1366x768 1 shot.png
#   scripts/screenshot.sh ORX-Beta,KBM-R05 1920x1080 1.5 shot.png
#
# Starts a fresh Xvfb of that size (no window manager), runs the panel with
# QT_SCALE_FACTOR=<scale>, ORBUS_COM1=sim:<model-list> and an empty
# configuration folder, presses Return on the port dialog ("Com Setting",
# whose OK is the default button), waits for the main window (and for a
# pan-tilt camera the "Pan/Tilt" window, unless the panel keeps it inside
# the main window), lets it read the camera, and saves the whole screen.
#
# ORBUS_PANEL names another program to run (default build/dev/orbus-panel),
# ORBUS_SHOT_SETTLE the seconds left for the read (default 3).
# Needs Xvfb, xdotool, xwininfo and import: scripts/install-deps.sh screenshot.
set -eu

usage() {
    echo "usage: $0 <model-list> <WxH> <scale> <out.png>" >&2
    echo "   eg: $0 ORX-Kappa 1366x768 1 shot.png" >&2
    exit 2
}
fail() {
    echo "screenshot: $*" >&2
    exit 1
}

[ $# -eq 4 ] || usage
models="$1"
size="$2"
scale="$3"
out="$4"

case "$models" in
"" | *[!A-Za-z0-9,@-]*) fail "the model list '$models' is not like ORX-Kappa,KBM-R05" ;;
esac
echo "$size" | grep -Eq '^[1-9][0-9]{2,4}x[1-9][0-9]{2,4}$' || fail "the size '$size' is not like 1366x768"
echo "$scale" | grep -Eq '^[0-9]+(\.[0-9]+)?$' || fail "the scale '$scale' is not like 1 or 1.5"
case "$out" in
*.png) ;;
*) fail "the picture '$out' must end in .png" ;;
esac
outdir="$(dirname "$out")"
[ -d "$outdir" ] && [ -w "$outdir" ] || fail "cannot write into '$outdir'"

panel="${ORBUS_PANEL:-$(dirname "$0")/../build/dev/orbus-panel}"
[ -x "$panel" ] || fail "no panel at $panel: build it first (cmake --preset dev && cmake --build --preset dev --target orbus-panel)"
settle="${ORBUS_SHOT_SETTLE:-3}"
for tool in Xvfb xdotool xwininfo import; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh screenshot"
done

work="$(mktemp -d)"
xvfb_pid=""
panel_pid=""
cleanup() {
    status=$?
    [ -z "$panel_pid" ] || { kill "$panel_pid" 2>/dev/null; wait "$panel_pid" 2>/dev/null || true; }
    [ -z "$xvfb_pid" ] || { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true; }
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Xvfb picks a free display number and writes it to the pipe given.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/displayfd" \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
read -r display <"$work/displayfd" || true
[ -n "$display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$display"
unset WAYLAND_DISPLAY

# Waits up to $2 seconds for a visible window whose title matches the
# extended regular expression $1, and prints its id.
wait_window() {
    tries=$(($2 * 5))
    while [ "$tries" -gt 0 ]; do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)" || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$panel_pid" 2>/dev/null || return 1
        sleep 0.2
        tries=$((tries - 1))
    done
    return 1
}

mkdir -m 700 "$work/config" "$work/runtime"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
    QT_SCALE_FACTOR="$scale" ORBUS_COM1="sim:$models" \
    "$panel" >"$work/panel.log" 2>&1 &
panel_pid=$!

dialog="$(wait_window '^Com Setting$' 30)" || { cat "$work/panel.log" >&2; fail "the port dialog did not open"; }

# No window manager gives the dialog the keyboard: give it, then press
# Return (OK is the dialog's default button). The main window's title names
# the camera's series once it is laid out. A dialog that comes back with an
# error (written to standard error too) is the panel refusing the port, but
# for a camera found at another speed.
press() {
    xdotool windowfocus --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog" 2>/dev/null || true
    xdotool key --clearmodifiers Return
}
press
presses=1
ticks=0
seen=0
while [ -z "$(xdotool search --onlyvisible --name 'Control +Panel$' 2>/dev/null)" ]; do
    kill -0 "$panel_pid" 2>/dev/null || { cat "$work/panel.log" >&2; fail "the panel stopped"; }
    [ "$ticks" -lt 150 ] || { cat "$work/panel.log" >&2; fail "the main window did not open"; }
    if xwininfo -id "$dialog" 2>/dev/null | grep -q IsViewable; then
        errors="$(grep -c Error "$work/panel.log" || true)"
        if [ "$errors" -gt "$seen" ]; then
            # A camera found at another speed: that speed is selected, OK
            # connects at it.
            if [ "$seen" -eq 0 ] && grep Error "$work/panel.log" | tail -n 1 | grep -q 'press OK'; then
                seen="$errors"
                press
            else
                cat "$work/panel.log" >&2
                fail "the panel refused the port sim:$models"
            fi
        fi
        if [ $((ticks % 15)) -eq 14 ]; then
            [ "$presses" -lt 3 ] || fail "the port dialog took no Return"
            press
            presses=$((presses + 1))
        fi
    fi
    sleep 0.2
    ticks=$((ticks + 1))
done

# The start-up's progress window closes when the chain is numbered and read.
tries=50
while [ "$tries" -gt 0 ] && [ -n "$(xdotool search --onlyvisible --name '^Information$' 2>/dev/null)" ]; do
    sleep 0.2
    tries=$((tries - 1))
done
case "$models" in
ORX-*)
    # A docked pan-tilt window held inside the main window is no window of
    # its own: then this waits its time out and goes on.
    wait_window '^Pan/Tilt$' 5 >/dev/null || true
    ;;
esac
sleep "$settle"
kill -0 "$panel_pid" 2>/dev/null || { cat "$work/panel.log" >&2; fail "the panel stopped"; }
import -window root "$out"
echo "$out: $models on $size at scale $scale"
