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

# One target from a copy of its seeds; its log and exit status stay in $runs.
run() {
    work="$runs/$1"
    mkdir -p "$work/corpus"
    cp fuzz/corpus/"$1"/* "$work/corpus"/
    if "build/fuzz/fuzz/fuzz_$1" "$work/corpus" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/$1-" >"$work/log" 2>&1; then
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
