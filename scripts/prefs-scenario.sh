#!/usr/bin/env bash
# Printing preferences across the two builds: sessions of the 32-bit zepdrv.exe (loading the 32-bit ZepUI.dll)
# apply settings, and after each the 64-bit zepdrv.exe (loading the 64-bit ZepPS.dll) prints the sample from them
# through the same spooler. Each job must be byte-identical to the one the same steps give with the Linux zepdrv.
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

# One session a line, in order, each on the settings the ones before kept: a name, then its actions (shell words).
sessions=(
    "store-to-hdd 'page Job Options' 'click 1509' 'type 1006 Report' 'type 1008 1234' 'click 1' apply"
    "normal-no-spool-best 'page Job Options' 'click 1508' 'click 1547' 'click 1537' 'click 1806' 'select 1805 3' 'click 1' apply"
    "every-page-opened 'page 2' 'page 3' 'page 4' 'page 1' 'page 2' apply"
)

linux=(timeout 60 "$linux_build/host/zepdrv" --root "$out/linux-root")
# Each build installs the driver for its own processor (x64, then x86, each with its own modules); the printer
# and the settings applied to it are the spooler's, one for both.
wine64=(timeout 60 wine "$win64_build/host/zepdrv.exe")
wine32=(timeout 60 wine "$win32_build/host/zepdrv.exe")
"${linux[@]}" install
"${wine64[@]}" install </dev/null
"${wine32[@]}" install </dev/null

status=0
for session in "${sessions[@]}"; do
    eval "words=($session)"
    name=${words[0]}
    actions=()
    for a in "${words[@]:1}"; do actions+=(--do "$a"); done
    "${linux[@]}" prefs "${actions[@]}" >/dev/null
    "${linux[@]}" print "$sample" -O "$out/$name.linux.prn"
    "${wine32[@]}" prefs "${actions[@]}" </dev/null >/dev/null
    "${wine64[@]}" print "$(winpath "$sample")" -O "$(winpath "$out/$name.wine.prn")" </dev/null
    if ! difference=$(diff <(pjl "$out/$name.linux.prn") <(pjl "$out/$name.wine.prn")); then
        echo "prefs scenario $name: the PJL lines differ (< Linux, > 32-bit prefs and 64-bit print under Wine):"
        echo "$difference"
        status=1
    elif ! cmp -s "$out/$name.linux.prn" "$out/$name.wine.prn"; then
        echo "prefs scenario $name: the jobs differ: $(cmp "$out/$name.linux.prn" "$out/$name.wine.prn" 2>&1)"
        status=1
    else
        echo "prefs scenario $name: 32-bit prefs, 64-bit print: the same job as on Linux ($(pjl "$out/$name.linux.prn" | wc -l) PJL lines)"
    fi
done

# What the sessions must have changed: the first stores a secure job, the second undoes it with its own settings,
# and opening every page changes nothing.
pjl "$out/store-to-hdd.linux.prn" | grep -q 'JOB NAME="Report"' ||
    { echo "prefs scenario: store-to-hdd: the job does not carry the applied name"; status=1; }
if pjl "$out/normal-no-spool-best.linux.prn" | grep -q 'ZEPSPOOL' ||
    ! pjl "$out/normal-no-spool-best.linux.prn" | grep -q 'COMPRESSION:FLATE LEVEL:9'; then
    echo "prefs scenario: normal-no-spool-best: the job does not carry the applied settings"
    status=1
fi
cmp -s "$out/normal-no-spool-best.linux.prn" "$out/every-page-opened.linux.prn" ||
    { echo "prefs scenario: opening every page changed the job"; status=1; }
exit $status
