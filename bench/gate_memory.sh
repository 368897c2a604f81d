#!/usr/bin/env bash
# Peak memory of encrypting a large job: the encrypting gate alone (1 GB through it, in a process of its own), then
# `zepdrv print` of a job of SIZE_MB megabytes (default 1024), encrypted and in clear, through the stand-in core.
# Goal: the gate holds at most its 32 KiB collector and one block, whatever the job's size, so the encrypted print's
# peak stays within a few MiB (the library and its cipher) of the clear one's.
# Usage: bench/gate_memory.sh [BUILD_DIR] [SIZE_MB]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
size_mb=${2:-1024}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== the gate alone"
"$build/bench/zep_bench" --benchmark_filter='BM_GateEncrypting1GB' 2>/dev/null | grep GateEncrypting1GB

echo "== zepdrv print of a ${size_mb} MB job"
# Pages of PostScript until the size is reached.
python3 - "$work/large.ps" "$size_mb" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2]) << 20
page = "".join("72 %d moveto (The quick brown fox jumps over the lazy dog) show\n" % (720 - 12 * i) for i in range(58))
with open(path, "w") as out:
    out.write("%!PS-Adobe-3.0\n%%Pages: (atend)\n%%EndComments\n/Helvetica findfont 10 scalefont setfont\n")
    n, written = 0, 0
    while written < size:
        n += 1
        text = "%%%%Page: %d %d\n%sshowpage\n" % (n, n, page)
        out.write(text)
        written += len(text)
    out.write("%%%%Trailer\n%%%%Pages: %d\n%%%%EOF\n" % n)
PY
zepdrv=("$build/host/zepdrv" --root "$work/root")
"${zepdrv[@]}" install
for job in "encrypted:-o ZPJobLimit=True --password bench" "clear:-o ZPJobLimit=False"; do
    name=${job%%:*}
    read -r -a args <<<"${job#*:}"
    peak=$(/usr/bin/time -f %M "${zepdrv[@]}" print "${args[@]}" "$work/large.ps" -O "$work/$name.prn" 2>&1 >/dev/null |
        tail -n 1)
    echo "$name: peak resident $((peak / 1024)) MiB, job $(($(stat -c %s "$work/$name.prn") >> 20)) MiB"
    rm -f "$work/$name.prn"
done
echo "(document $(($(stat -c %s "$work/large.ps") >> 20)) MiB, read in place by the streaming core)"
