#!/usr/bin/env bash
# Installs the demo printer and prints the bundled sample document through the rendering plug-in.
set -euo pipefail
build=${1:-build}
zepdrv="$build/host/zepdrv"
sample=driver/samples/sample.ps
out="$build/demo/sample.prn"
mkdir -p "$(dirname "$out")"

"$zepdrv" install
"$zepdrv" print "$sample" -O "$out"

echo
echo "The job for \"Zep Demo\" went to: $(realpath "$out") ($(stat -c %s "$out") bytes)"
echo "Its PJL lines (ESC shown as <ESC>):"
grep -a -n '@PJL' "$out" | head -n 20 | sed 's/\x1b/<ESC>/g'
