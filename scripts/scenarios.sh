#!/usr/bin/env bash
# Prints every scenario of tests/scenarios/scenarios.txt with the Linux zepdrv and with the Windows zepdrv.exe
# under Wine's real spooler, and fails unless each pair of spool outputs is byte-identical (encrypted jobs: unless
# both decode, with the Linux zepdecrypt, to byte-identical clear jobs).
# Usage: scenarios.sh LINUX_BUILD WINDOWS_BUILD   (the Windows build's Wine prefix is used; see wine-env.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "$1")
windows_build=$(realpath "$2")
table=tests/scenarios/scenarios.txt
sample=$(realpath driver/samples/sample.ps)
out=$windows_build/scenarios
rm -rf "$out"
mkdir -p "$out/linux" "$out/wine"

# Wine reads the command line in the locale's character set: UTF-8 keeps non-ASCII document names intact.
export LC_ALL=C.UTF-8
source scripts/wine-env.sh "$windows_build"
wine_env_start
trap wine_env_stop EXIT

# Wine maps drive Z: to the Unix root.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

# A job that waits for an answer (a dialog nobody sees) fails after a minute instead of stalling the suite.
linux_zepdrv=(timeout 60 "$linux_build/host/zepdrv" --root "$out/linux-root")
wine_zepdrv=(timeout 60 wine "$windows_build/host/zepdrv.exe")
"${linux_zepdrv[@]}" install
"${wine_zepdrv[@]}" install </dev/null
decrypt=$linux_build/companions/decrypt/zepdecrypt

# The installed drivers' folders (those with the capability file: one per processor the prefix holds a driver for).
mapfile -t driver_dirs < <(find "$out/linux-root" "$WINEPREFIX/drive_c" -ipath '*/spool/drivers/*/3/zepcl500.cap' \
    -printf '%h\n')
# A card put into the reader stays for the rows after it only: the prefix's driver folders are shared with later runs.
remove_card() { for dir in "${driver_dirs[@]}"; do rm -f "$dir/ZepCard.ini"; done; }
remove_card
trap 'remove_card; wine_env_stop' EXIT

status=0
count=0
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in '' | '#'*) continue ;; esac
    if [[ $line == '@card-reader '* ]]; then
        card=tests/scenarios/${line#@card-reader }
        for dir in "${driver_dirs[@]}"; do cp "$card" "$dir/ZepCard.ini"; done
        continue
    fi
    name=${line%%[[:space:]]*}
    rest=${line#"$name"}
    key=
    if [[ $rest == *' | '* ]]; then
        key=${rest##* | }
        rest=${rest% | *}
    fi
    eval "args=($rest)"
    eval "key_args=($key)"
    count=$((count + 1))
    linux_out=$out/linux/$name.prn
    wine_out=$out/wine/$name.prn
    linux_rc=0 wine_rc=0
    "${linux_zepdrv[@]}" print "${args[@]}" "$sample" -O "$linux_out" 2>"$out/linux/$name.err" || linux_rc=$?
    "${wine_zepdrv[@]}" print "${args[@]}" "$(winpath "$sample")" -O "$(winpath "$wine_out")" </dev/null \
        2>"$out/wine/$name.err" || wine_rc=$?
    if [ $linux_rc != 0 ] || [ $wine_rc != 0 ]; then
        echo "scenario $name: zepdrv failed (linux: exit $linux_rc $(cat "$out/linux/$name.err")" \
            "wine: exit $wine_rc $(tr -d '\r' <"$out/wine/$name.err"))"
        status=1
        continue
    fi
    if [ -n "$key" ]; then
        # Compared from here on as the printer sees them: decoded.
        if cmp -s "$linux_out" "$wine_out"; then
            echo "scenario $name: the encrypted jobs are identical: no fresh salt"
            status=1
            continue
        fi
        for side in linux wine; do
            if ! "$decrypt" "$out/$side/$name.prn" -O "$out/$side/$name.clear" "${key_args[@]}" \
                2>"$out/$side/$name.decrypt-err"; then
                echo "scenario $name: the $side job does not decode: $(cat "$out/$side/$name.decrypt-err")"
                status=1
                continue 2
            fi
        done
        linux_out=$out/linux/$name.clear
        wine_out=$out/wine/$name.clear
    fi
    if ! difference=$(cmp "$linux_out" "$wine_out" 2>&1); then
        line_no=$(sed -n 's/.* line \([0-9]*\)$/\1/p' <<<"$difference")
        echo "scenario $name: outputs differ: $difference"
        if [ -n "$line_no" ]; then
            echo "  linux: $(sed -n "${line_no}p" "$linux_out" | cat -v)"
            echo "  wine:  $(sed -n "${line_no}p" "$wine_out" | cat -v)"
        fi
        status=1
    else
        echo "scenario $name: identical ($(stat -c %s "$linux_out") bytes${key:+, decoded})"
    fi
done <"$table"
echo "scenarios: $count run, outputs in $out"
exit $status
