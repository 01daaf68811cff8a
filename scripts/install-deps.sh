#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those missing.
#   install-deps.sh [extra packages...]
set -euo pipefail
packages=(
    cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xdotool xclip x11-utils imagemagick
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
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
