#!/usr/bin/env bash
# A long model-based soak of the real program: builds it for Windows, starts a private Wine
# session (its own Xvfb display, prefix and wineserver) and runs tests/e2e/soak.sh in it.
#   scripts/soak.sh ACTIONS [SEED]
# Without a seed one is drawn and printed; passing it again replays the same actions.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
actions=${1:?usage: scripts/soak.sh ACTIONS [SEED]}
seed=${2:-}
session="$root/build/windows/soak-session"

"$root/scripts/install-deps.sh" || exit 1
(cd "$root" && cmake --preset windows >/dev/null &&
    cmake --build --preset windows --target TarvoDice e2e_probe) || exit 1
trap '"$root/scripts/wine-session" stop "$session"' EXIT
"$root/scripts/wine-session" start "$session" || exit 1
# The program must outlive the whole run.
DRIVE_APP_TIMEOUT=$((actions * 10 + 600)) "$root/tests/e2e/soak.sh" \
    "$root/build/windows/app/TarvoDice.exe" "$root/build/windows/tests/e2e/probe.exe" \
    "$session" "$actions" ${seed:+"$seed"}
