#!/usr/bin/env bash
# Builds the .deb for Debian 12 and 13 (build/windows/tarvo-dice_VERSION_amd64.deb) from the
# Windows build, installing what building needs first; prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
rm -f build/windows/tarvo-dice_*.deb
cmake --build --preset windows --target package-deb >/dev/null
echo "$PWD"/build/windows/tarvo-dice_*_amd64.deb
