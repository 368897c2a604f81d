#!/usr/bin/env bash
# Checks that each plug-in module exports exactly DllGetClassObject and DllCanUnloadNow.
# Usage: check-exports.sh MODULE...   (Linux .so or Windows .dll)
set -euo pipefail
want=$'DllCanUnloadNow\nDllGetClassObject'
status=0
for m in "$@"; do
    case "$m" in
    *.dll)
        dump=$(x86_64-w64-mingw32-objdump -p "$m")
        got=$(awk '/\[Ordinal\/Name Pointer\] Table/{t=1; next} t && /^[ \t]*\[/{print $NF; next} t{t=0}' <<<"$dump" | sort)
        ;;
    *)
        got=$(nm -D --defined-only "$m" | awk '$2 ~ /^[TWi]$/ {print $3}' | sort)
        ;;
    esac
    if [ "$got" != "$want" ]; then
        echo "check-exports: $m exports:" $got "(expected DllCanUnloadNow DllGetClassObject)" >&2
        status=1
    else
        echo "check-exports: $m ok"
    fi
done
exit $status
