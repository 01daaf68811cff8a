#!/usr/bin/env bash
# Builds and runs every test: natively, natively under ASan+UBSan, and as Windows
# executables under Wine (cross-built with MinGW-w64).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in native native-sanitize windows; do
    echo "=== $preset ==="
    cmake --workflow --preset "$preset"
done
