#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those missing.
# fonts-liberation, python3-fonttools: the Courier face made for the Wine prefixes (scripts/wine-env.sh).
# The .deb: icoutils (icons from the .ico), dpkg-dev, lintian and desktop-file-utils (its checks).
#   install-deps.sh [extra packages...]
set -euo pipefail
packages=(
    cmake ninja-build g++ clang-format shellcheck libgtest-dev libbenchmark-dev clang libclang-rt-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine64 fonts-wine fonts-liberation fontconfig python3-fonttools xvfb xdotool xclip x11-utils imagemagick
    icoutils dpkg-dev lintian desktop-file-utils
    "$@"
)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
# A run that was stopped part-way through an install leaves dpkg to finish first.
$sudo dpkg --configure -a
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
