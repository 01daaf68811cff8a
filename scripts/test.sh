#!/usr/bin/env bash
# Builds and runs every test: natively, natively under ASan+UBSan, as Windows executables
# under Wine (cross-built with MinGW-w64), and a short run of each fuzzer when clang is here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
presets=(native native-sanitize windows)
command -v clang++ >/dev/null && presets+=(fuzz)
for preset in "${presets[@]}"; do
    echo "=== $preset ==="
    cmake --workflow --preset "$preset"
done
