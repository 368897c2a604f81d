#!/usr/bin/env bash
# Runs the fuzz targets of a fuzzing build (make fuzz-build), each for a set time, from the corpus in the tree plus
# what earlier runs of this build found. A finding (a crash, a sanitizer report, a failed check, a hang) fails the
# run; its input is kept under BUILD/fuzz-work/findings/TARGET/.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]      (no TARGET: every target of fuzz/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
work=$build/fuzz-work
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1

status=0
for target in "${targets[@]}"; do
    program=$build/fuzz/fuzz_$target
    [ -x "$program" ] || { echo "fuzz: no target $target in $build (make fuzz-build)"; exit 1; }
    corpus=$work/corpus/$target
    findings=$work/findings/$target
    mkdir -p "$corpus" "$findings"
    log=$work/$target.log
    if "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -artifact_prefix="$findings/" \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -n 1), no finding"
    else
        status=1
        echo "fuzz $target: a finding; the input is in $findings/, the report in $log:"
        grep -E 'ERROR|SUMMARY|check failed|runtime error' "$log" | head -n 5 | sed 's/^/  /'
        echo "  fixed, it becomes a reproducer in fuzz/crashes/$target/ that ctest replays"
    fi
done
exit $status
