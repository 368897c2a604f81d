#!/usr/bin/env bash
# The streaming core against its goals, in one run: peak memory of `zepdrv print` of a large document (goal: at
# most 64 MiB) and the throughput of a "Normal" job against `cat` of the same bytes to the same disk (goal: at
# least half of cat's). Each command runs RUNS times from a warm page cache, after a sync; the best time counts.
#
# The document (KIND): "pictures", the sample's pages each carrying a 256 KiB picture, as a long scanned job
# would; or "text", the sample's short pages alone, four DSC comments every 270 bytes (the transcription's worst
# case: its cost goes with the comments and pages, not with the bytes).
# Usage: bench/print_stream.sh [BUILD_DIR] [SIZE_MIB] [RUNS] [KIND]     (defaults: build 1024 3 pictures)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
size_mib=${2:-1024}
runs=${3:-3}
kind=${4:-pictures}
zepdrv=$build/host/zepdrv
[ -x "$zepdrv" ] || { echo "print_stream: build zepdrv first (make build)" >&2; exit 1; }
case "$kind" in pictures | text) ;; *) echo "print_stream: KIND is pictures or text" >&2; exit 1 ;; esac

work=$build/bench-print
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# The sample's header, prolog and setup (with the picture's string), its pages, its trailer.
sample=driver/samples/sample.ps
sed -n '1,/^%%EndSetup$/p' "$sample" | sed '$d' >"$work/head.ps"
echo "/picstr 512 string def" >>"$work/head.ps"
echo "%%EndSetup" >>"$work/head.ps"
sed -n '/^%%Page: 1 1$/,/^%%Trailer$/p' "$sample" | sed '$d' >"$work/pages.ps"
sed -n '/^%%Trailer$/,$p' "$sample" >"$work/tail.ps"
if [ "$kind" = pictures ]; then
    # 512 x 512 grey samples in hexadecimal, drawn before each page's closing restore.
    {
        echo "gsave 72 144 translate 468 468 scale 512 512 8 [512 0 0 512 0 0] {currentfile picstr readhexstring pop} image"
        head -c 262144 /dev/urandom | od -An -v -tx1 | tr -d ' \n' | fold -w 128
        echo
        echo "grestore"
    } >"$work/picture.ps"
    awk -v picture="$work/picture.ps" '
        /^pagesave restore$/ { while ((getline line < picture) > 0) print line; close(picture) }
        { print }' "$work/pages.ps" >"$work/pictured.ps"
    mv "$work/pictured.ps" "$work/pages.ps"
fi
: >"$work/chunk.ps"
while [ "$(stat -c %s "$work/chunk.ps")" -lt 1048576 ]; do cat "$work/pages.ps" >>"$work/chunk.ps"; done
chunks=$(( (size_mib * 1048576 + $(stat -c %s "$work/chunk.ps") - 1) / $(stat -c %s "$work/chunk.ps") ))
doc=$work/doc.ps
{
    cat "$work/head.ps"
    for _ in $(seq "$chunks"); do cat "$work/chunk.ps"; done
    cat "$work/tail.ps"
} >"$doc"
bytes=$(stat -c %s "$doc")
pages=$(grep -c '^%%Page: ' "$doc" || true)

"$zepdrv" --root "$work/root" install
cat "$doc" >/dev/null

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", b - a }'; }
less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
best_cat= best_print= peak_kib=0
for run in $(seq "$runs"); do
    rm -f "$work/cat.out" "$work/print.out"
    sync
    start=$(now)
    cat "$doc" >"$work/cat.out"
    t=$(elapsed "$start" "$(now)")
    if [ -z "$best_cat" ] || less "$t" "$best_cat"; then best_cat=$t; fi
    cat_t=$t

    rm -f "$work/cat.out"
    sync
    start=$(now)
    /usr/bin/time -f %M -o "$work/rss" "$zepdrv" --root "$work/root" print -o ZPJob_Type=Normal "$doc" \
        -O "$work/print.out"
    t=$(elapsed "$start" "$(now)")
    if [ -z "$best_print" ] || less "$t" "$best_print"; then best_print=$t; fi
    kib=$(tail -n 1 "$work/rss")
    [ "$kib" -gt "$peak_kib" ] && peak_kib=$kib
    echo "run $run: cat $cat_t s, zepdrv print $t s, peak $((kib / 1024)) MiB"
done

awk -v bytes="$bytes" -v pages="$pages" -v runs="$runs" -v kind="$kind" -v cat_t="$best_cat" -v print_t="$best_print" \
    -v peak="$peak_kib" 'BEGIN {
    mib = bytes / 1048576
    ratio = cat_t / print_t
    printf "document:    %.0f MiB of %s (%d bytes, %d pages), %d runs each\n", mib, kind, bytes, pages, runs
    printf "cat:         %.3f s  (%.0f MiB/s)\n", cat_t, mib / cat_t
    printf "zepdrv:      %.3f s  (%.0f MiB/s)\n", print_t, mib / print_t
    printf "throughput:  %.2f of cat (goal: at least 0.50)\n", ratio
    printf "peak memory: %.1f MiB (goal: at most 64 MiB)\n", peak / 1024
    status = 0
    if (ratio < 0.5) { print "print_stream: throughput below the goal"; status = 1 }
    if (peak > 64 * 1024) { print "print_stream: peak memory above the goal"; status = 1 }
    exit status
}'
