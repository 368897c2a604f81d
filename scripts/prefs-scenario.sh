#!/usr/bin/env bash
# Printing preferences across the two builds: the 32-bit zepdrv.exe (loading the 32-bit ZepUI.dll) selects Store
# to HDD with a job name and PIN and applies, then the 64-bit zepdrv.exe (loading the 64-bit ZepPS.dll) prints the
# sample from those settings through the same spooler. The PJL lines must be those the same steps give with the
# Linux zepdrv.
# Usage: prefs-scenario.sh LINUX_BUILD WIN64_BUILD WIN32_BUILD   (the 64-bit build's Wine prefix, which also runs
# 32-bit programs, is used; see wine-env.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "$1")
win64_build=$(realpath "$2")
win32_build=$(realpath "$3")
sample=$(realpath driver/samples/sample.ps)
out=$win32_build/prefs-scenario
rm -rf "$out"
mkdir -p "$out"

export LC_ALL=C.UTF-8
source scripts/wine-env.sh "$win64_build"
wine_env_start
trap wine_env_stop EXIT

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
# The PJL lines of a job, without their line ends.
pjl() { grep -a '@PJL' "$1" | tr -d '\r' | sed 's/\x1b/<ESC>/g'; }

actions=(--do "page Job Options" --do "click 1509" --do "type 1006 Report" --do "type 1008 1234" --do "click 1"
         --do apply)

linux=(timeout 60 "$linux_build/host/zepdrv" --root "$out/linux-root")
"${linux[@]}" install
"${linux[@]}" prefs "${actions[@]}"
"${linux[@]}" print "$sample" -O "$out/linux.prn"

# Each build installs the driver for its own processor (x64, then x86, each with its own modules); the printer
# and the settings applied to it are the spooler's, one for both.
wine64=(timeout 60 wine "$win64_build/host/zepdrv.exe")
wine32=(timeout 60 wine "$win32_build/host/zepdrv.exe")
"${wine64[@]}" install </dev/null
"${wine32[@]}" install </dev/null
"${wine32[@]}" prefs "${actions[@]}" </dev/null
"${wine64[@]}" print "$(winpath "$sample")" -O "$(winpath "$out/wine.prn")" </dev/null

if ! pjl "$out/linux.prn" | grep -q 'JOB NAME="Report"'; then
    echo "prefs scenario: the Linux job does not carry the applied settings:"
    pjl "$out/linux.prn"
    exit 1
fi
if ! difference=$(diff <(pjl "$out/linux.prn") <(pjl "$out/wine.prn")); then
    echo "prefs scenario: the PJL lines differ (< Linux, > 32-bit prefs and 64-bit print under Wine):"
    echo "$difference"
    exit 1
fi
echo "prefs scenario: 32-bit prefs, 64-bit print: the same $(pjl "$out/linux.prn" | wc -l) PJL lines as on Linux"
