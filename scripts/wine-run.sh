#!/usr/bin/env bash
# Runs one cross-built GoogleTest program under Wine and judges it by its own summary: a program Wine cannot start
# (an i686 build under wine64) still exits 0, so a run passes only when GoogleTest says so.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]   (WINEPREFIX defaults to $ZEP_BUILD_DIR/wineprefix)
set -uo pipefail
program=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${WINEPREFIX:-}" ] && [ -n "${ZEP_BUILD_DIR:-}" ]; then export WINEPREFIX=$ZEP_BUILD_DIR/wineprefix; fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$program" "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
    echo "wine-run: $program exited with $status" >&2
    exit 1
fi
if ! grep -q '^\[  PASSED  \]' "$log" || grep -q '^\[  FAILED  \]' "$log"; then
    echo "wine-run: $program did not report that all its tests passed" >&2
    exit 1
fi
