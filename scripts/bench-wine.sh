#!/usr/bin/env bash
# Times the largest roll command natively and as the Windows build under Wine, in turns, and
# prints the least time of each case on each side and their ratio, with the geometric mean.
# The least of many presses is the figure least disturbed by other work on the machine.
#   scripts/bench-wine.sh [ROUNDS] [PRESSES]     (default 5 rounds of 5 presses each)
# Builds build/native and build/windows-bench; the Wine prefix made for the run is removed
# afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
presses=${2:-5}
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target press_timing >/dev/null
cmake -S . -B build/windows-bench -G Ninja --toolchain cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCHMARKS=ON >/dev/null
cmake --build build/windows-bench --target press_timing >/dev/null
# shellcheck source=SCRIPTDIR/wine-env.sh
. "$root/scripts/wine-env.sh"
export WINEPREFIX="$root/build/windows-bench/wineprefix"
trap '"$WINESERVER" -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
timeout 300 "$WINE64" wineboot -i >/dev/null 2>&1
log=$(mktemp /tmp/tarvo-bench-wine.XXXXXX)
for ((round = 1; round <= rounds; ++round)); do
    build/native/bench/press_timing "$presses" | sed 's/^/native /' >>"$log"
    "$WINE64" build/windows-bench/bench/press_timing.exe "$presses" | tr -d '\r' |
        sed 's/^/wine /' >>"$log"
done
# Lines: SIDE FACES DROP MIN / MEDIAN ONE-STEP-MIN / ONE-STEP-MEDIAN RATIO CHECKSUM SAME;
# the header lines have no numbers in the second and third fields.
awk '$2 ~ /^[0-9]+$/ && $3 ~ /^[0-9]+$/ {
        key = $2 " " $3
        if (!(key in order)) { order[key] = ++cases; names[cases] = key }
        side = $1
        if (!((side, key) in least) || $4 < least[side, key]) least[side, key] = $4
        sums[side, key] = sums[side, key] " " $11
        if ($12 != "yes") bad = 1
    }
    END {
        printf "%-11s %-6s %12s %12s %12s  %s\n", "faces", "drop", "native (ms)", "wine (ms)",
               "wine/native", "same checksums"
        logSum = 0
        for (i = 1; i <= cases; ++i) {
            key = names[i]; split(key, part, " ")
            ratio = least["wine", key] / least["native", key]
            logSum += log(ratio)
            n = split(sums["native", key] sums["wine", key], all, " ")
            same = "yes"
            for (j = 2; j <= n; ++j) if (all[j] != all[1]) same = "NO"
            printf "%-11s %-6s %12.2f %12.2f %12.3f  %s\n", part[1], part[2],
                   least["native", key], least["wine", key], ratio, same
        }
        printf "geometric mean of wine/native: %.3f\n", exp(logSum / cases)
        if (bad) print "a checksum differed from the one-step engine"
    }' "$log"
rm -f "$log"
