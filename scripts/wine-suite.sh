#!/usr/bin/env bash
# Runs the Windows builds' test programs and the Linux-against-Wine scenarios under Wine, on a virtual display
# when there is no display (dialogs and property sheets need one). The 32-bit build's programs run in the 64-bit
# build's prefix, which runs 32-bit programs as well and so shares its spooler with them.
# Usage: wine-suite.sh WINDOWS_BUILD LINUX_BUILD [WIN32_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${ZEP_WINE_NESTED:-}" ]; then
    exec env ZEP_WINE_NESTED=1 xvfb-run -a bash "$0" "$@"
fi
windows_build=$1
linux_build=$2
win32_build=${3:-}

source scripts/wine-env.sh "$windows_build"
wine_env_start
trap wine_env_stop EXIT

status=0
ctest --test-dir "$windows_build" --output-on-failure -j 2 || status=1
if [ -n "$win32_build" ]; then
    ctest --test-dir "$win32_build" --output-on-failure -j 2 || status=1
fi
bash scripts/scenarios.sh "$linux_build" "$windows_build" || status=1
if [ -n "$win32_build" ]; then
    bash scripts/prefs-scenario.sh "$linux_build" "$windows_build" "$win32_build" || status=1
fi
exit $status
