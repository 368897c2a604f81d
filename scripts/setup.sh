#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang libclang-rt-14-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev libcups2-dev libgcrypt20-dev
    ghostscript cups-filters
    libcairo2-dev libpango1.0-dev fonts-ipafont-gothic fonts-liberation2
    mingw-w64 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 libgcrypt-mingw-w64-dev
    wine wine64 wine32:i386 xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# The 32-bit Wine (for the 32-bit ZepUI.dll and its tests) comes from the i386 architecture.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
