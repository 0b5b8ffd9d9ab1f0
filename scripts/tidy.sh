#!/bin/sh
# Runs clang-tidy (the checks in .clang-tidy) over the project's own sources:
# src/, sim/, tests/ and bench/ from the dev build's compile commands, and
# fuzz/ too when the fuzz build has been configured. Build directories are
# never checked. Run it after building the dev preset (the Qt sources need
# their generated meta-object files). Prints each finding once and fails
# when there is any.
#
#   scripts/tidy.sh            everything
#   scripts/tidy.sh sim        only files whose path starts with sim (a regex)
#
# TIDY_JOBS sets how many files are checked at once (default: the cores).
set -eu
cd "$(dirname "$0")/.."
root="$(pwd)"
only="${1:-}"
jobs="${TIDY_JOBS:-$(nproc)}"
tidy="$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)"
if [ -z "$tidy" ]; then
    echo "tidy.sh: run-clang-tidy not found (package clang-tidy)" >&2
    exit 2
fi
if [ ! -f build/dev/compile_commands.json ]; then
    cmake --preset dev >/dev/null
fi
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

# One compile database, the files of the given folders in it.
check() {
    db="$1"
    folders="$2"
    if [ -n "$only" ]; then
        pattern="^$root/($only)"
    else
        pattern="^$root/($folders)/"
    fi
    # The tool's status also reports files that do not compile; findings are
    # counted from the log below.
    "$tidy" -p "$db" -j "$jobs" -quiet "$pattern" >>"$log" 2>&1 || echo "tidy.sh: clang-tidy failed in $db" >>"$log"
}

check build/dev "src|sim|tests|bench"
# The fuzz build compiles the core too: only its own folder is taken from it.
if [ -f build/fuzz/compile_commands.json ] && { [ -z "$only" ] || [ "${only#fuzz}" != "$only" ]; }; then
    check build/fuzz "fuzz"
fi

# Findings in headers come once per file that includes them: print each once.
# Generated files under build/ (the Qt meta-object code) are not ours.
findings="$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '(warning|error): |^tidy.sh: ' | sed "s|^$root/||" |
    grep -v '^build/' | sort -u || true)"
if [ -n "$findings" ]; then
    printf '%s\n' "$findings"
    echo "tidy.sh: $(printf '%s\n' "$findings" | wc -l) finding(s)" >&2
    exit 1
fi
echo "tidy.sh: clean"
