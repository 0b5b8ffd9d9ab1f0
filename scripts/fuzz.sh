#!/bin/sh
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60) from its
# seed corpus. Prints executions and coverage per target; fails when a
# target finds a fault (the input is kept under build/fuzz/findings/).
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null
findings="build/fuzz/findings"
mkdir -p "$findings"
status=0
printf '%-12s %12s %10s %8s  %s\n' target executions exec/s cov result
for target in receive status_read console dialogs sim meaning; do
    work="$(mktemp -d)"
    cp fuzz/corpus/"$target"/* "$work"/
    log="$work/log"
    if "build/fuzz/fuzz/fuzz_$target" "$work" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$log" 2>&1; then
        result=ok
    else
        result="FAULT (see $findings)"
        status=1
        grep -E "property broken|runtime error|ERROR: " "$log" | head -3 >&2 || true
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
    printf '%-12s %12s %10s %8s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "${cov:-?}" "$result"
    rm -rf "$work"
done
exit $status
