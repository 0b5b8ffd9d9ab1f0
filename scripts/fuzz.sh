#!/bin/sh
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60) from its
# seed corpus, as many at once as the machine has cores. Prints executions
# and coverage per target; fails when a target finds a fault (the input is
# kept under build/fuzz/findings/).
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets="receive status_read console dialogs sim meaning startup typed profile telnet api udp http"
cores="$(nproc)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$cores" >/dev/null
findings="build/fuzz/findings"
mkdir -p "$findings"
runs="$(mktemp -d)"
trap 'rm -rf "$runs"' EXIT

# Flags of the targets that keep a whole panel from one input to the next.
# An input there often ends holding a few more allocations than it found
# (a longer status line, a reply on its way) that the next input frees;
# libFuzzer then runs it again and scans the whole heap for leaks, which
# took most of these targets' time and found nothing: a leak is still
# reported when the run ends (LeakSanitizer at exit fails the target). The
# typed target also runs without the entropic schedule, whose bookkeeping
# of each input's many features took 40 % of its time: in equal time it
# ran twice the inputs and reached the same coverage.
target_flags() {
    case "$1" in
    status_read | dialogs) echo "-detect_leaks=0" ;;
    typed) echo "-detect_leaks=0 -entropic=0" ;;
    esac
}

# One target from a copy of its seeds; its log and exit status stay in $runs.
run() {
    work="$runs/$1"
    mkdir -p "$work/corpus"
    cp fuzz/corpus/"$1"/* "$work/corpus"/
    # shellcheck disable=SC2046
    if "build/fuzz/fuzz/fuzz_$1" "$work/corpus" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        $(target_flags "$1") -print_final_stats=1 -artifact_prefix="$findings/$1-" >"$work/log" 2>&1; then
        echo ok >"$work/status"
    else
        echo fault >"$work/status"
    fi
}

running=0
for target in $targets; do
    run "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$cores" ]; then
        wait
        running=0
    fi
done
wait

status=0
printf '%-12s %12s %10s %8s  %s\n' target executions exec/s cov result
for target in $targets; do
    log="$runs/$target/log"
    if [ "$(cat "$runs/$target/status")" = ok ]; then
        result=ok
    else
        result="FAULT (see $findings)"
        status=1
        grep -E "property broken|written:|message:|runtime error|ERROR: " "$log" | head -4 >&2 || true
    fi
    execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
    printf '%-12s %12s %10s %8s  %s\n' "$target" "${execs:-?}" "${rate:-?}" "${cov:-?}" "$result"
done
exit $status
